#pragma once
// One folder of the selector's tree. Nodes are owned by their parent (top-level nodes by the
// FolderTree). A node lives until a re-reading of its parent finds its folder gone
// (FileSelectorModel::RefreshFolder); until then its address identifies it: the view keeps one
// item per node and maps between them (for example with the pointer stored in the item's data).
// The view only reads nodes; the FileSelectorModel changes them.
#include <memory>
#include <string>
#include <vector>

#include "selector/MarkState.h"

struct FolderNode {
    std::string text;              // shown: the folder's name, or a top-level node's caption
    std::string path;              // the folder's full path, always ending in "/"
    int state = stNone;            // the mark: a MarkState, the index of the state image
    bool hasChildren = false;      // it holds sub-folders (read ahead, before they are loaded)
    bool hasShownChildren = false; // it holds sub-folders whose names do not begin with "."
    bool childrenLoaded = false;   // children are read at the first expansion
    bool hidden = false;           // its name begins with "." (a top-level node never is)
    FolderNode* parent = nullptr;  // nullptr for a top-level node
    std::vector<std::unique_ptr<FolderNode>> children; // sorted by NameOrder
};
