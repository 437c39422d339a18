#pragma once
// One folder of the selector's tree. Nodes are owned by their parent (top-level nodes by the
// FolderTree) and are never removed or moved, so a node's address identifies it for as long as
// the tree lives: the view keeps one item per node and maps between them (for example with the
// pointer stored in the item's data). The view only reads nodes; the FileSelectorModel changes
// them.
#include <memory>
#include <string>
#include <vector>

#include "selector/MarkState.h"

struct FolderNode {
    std::string text;             // shown: the folder's name, or a top-level node's caption
    std::string path;             // the folder's full path, always ending in "/"
    int state = stNone;           // the mark: a MarkState, the index of the state image
    bool hasChildren = false;     // show an expand button even before the children are loaded
    bool childrenLoaded = false;  // children are read once, at the first expansion
    FolderNode* parent = nullptr; // nullptr for a top-level node
    std::vector<std::unique_ptr<FolderNode>> children; // sorted with CompareFolderNodes
};
