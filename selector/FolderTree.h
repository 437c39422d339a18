#pragma once
// The folder tree: the top-level nodes that stand for drives, and sub-folders read lazily, one
// level at a time, at a node's first expansion, and again when asked to (ReadSubfolders).
//
// Top-level nodes, in this order: the file-system root (text "/"), the user's home folder (text
// "Home (" + its path + ")"), then each sub-folder of each volume folder (/media/$USER,
// /run/media/$USER, /mnt), named by the folder + " (" + its path + ")", sorted by name within
// their volume folder. Top-level nodes always show an expand button.
//
// The view does not call LoadSubfolders itself: FileSelectorModel::ExpandFolder does, and gives
// the new nodes their marks.
#include <memory>
#include <string>
#include <vector>

#include "selector/FolderNode.h"

class FolderTree {
public:
    // Where the top-level nodes come from; tests put them in a scratch folder. Paths may be given
    // with or without a trailing "/".
    struct Locations {
        std::string root = "/";
        std::string home;                       // empty: no home node
        std::vector<std::string> volumeFolders; // each sub-folder is one top-level node
        // $HOME (else the password database) and the three volume folders of $USER.
        static Locations FromEnvironment();
    };

    explicit FolderTree(const Locations& locations);
    FolderTree(const FolderTree&) = delete;
    FolderTree& operator=(const FolderTree&) = delete;

    const std::vector<std::unique_ptr<FolderNode>>& TopLevel() const { return topLevel_; }

    // Reads the sub-folders of node the first time (directories only; a link to a folder counts
    // as one), each with its sub-folder flags and state stNone, sorted by NameOrder. Returns the
    // number of nodes added now: 0 when they were loaded before or the folder cannot be read.
    static std::size_t LoadSubfolders(FolderNode& node);

    // What a re-reading of a loaded node found: the children it added (state stNone, in their
    // places) and the paths of the children whose folders are gone (already removed, with
    // everything below them).
    struct Reread {
        std::vector<FolderNode*> added;
        std::vector<std::string> removedPaths;
    };
    // Reads the sub-folders of a loaded node again: children whose folders remain stay as they
    // are (with everything below them), new folders get nodes, vanished ones lose theirs. A
    // folder that cannot be read any more loses every child.
    static Reread ReadSubfolders(FolderNode& node);

    struct Subfolders {
        bool any = false;   // at least one sub-folder
        bool shown = false; // at least one whose name does not begin with "."
    };
    // Reads until it finds a sub-folder whose name does not begin with "."; nothing when the
    // folder cannot be read.
    static Subfolders FindSubfolders(const std::string& path);
    // True when the folder holds at least one sub-folder; false when it cannot be read.
    static bool FolderHasSubfolders(const std::string& path) { return FindSubfolders(path).any; }
    // Order of sibling folders: NameOrder::ForUser() of their names.
    static int CompareFolderNodes(const FolderNode& a, const FolderNode& b);
    // Folders whose names begin with "." are hidden by Linux convention.
    static bool IsHiddenName(const std::string& name) { return name.starts_with('.'); }

private:
    void AddTopLevel(std::string text, std::string path);
    void AddVolumes(const std::string& volumeFolder);

    std::vector<std::unique_ptr<FolderNode>> topLevel_;
};
