#pragma once
// The folder tree: the top-level nodes that stand for drives, and sub-folders read lazily, one
// level at a time, at a node's first expansion. Nodes are only ever added.
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
    // as one), each with hasChildren = FolderHasSubfolders and state stNone, sorted with
    // CompareFolderNodes. Returns the number of nodes added now: 0 when they were loaded before
    // or the folder cannot be read.
    static std::size_t LoadSubfolders(FolderNode& node);
    // True when the folder holds at least one sub-folder; stops at the first one. False when it
    // cannot be read.
    static bool FolderHasSubfolders(const std::string& path);
    // Order of sibling folders: names upper-cased by the locale's rules, by character code.
    static int CompareFolderNodes(const FolderNode& a, const FolderNode& b);

private:
    void AddTopLevel(std::string text, std::string path);
    void AddVolumes(const std::string& volumeFolder);

    std::vector<std::unique_ptr<FolderNode>> topLevel_;
};
