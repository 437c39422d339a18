#pragma once
// Everything the file selector window does, without the window: the folder tree, the file list
// of the selected folder, the marks, and the files handed over by other launches. The window is
// a thin view: it forwards each user action to one call here and then mirrors the model.
//
// How the view mirrors the model after any call:
//   - tree: for every node with childrenLoaded, its item's child items are the node's children,
//     in order (create the missing ones; after RefreshFolder also drop those whose nodes went);
//     show every item's state image and accessible description (MarkCaption) from node->state,
//     hide the items of folders that IsShown denies, give each the expand button that
//     ShowsExpandButton says; keep the current item on Selected(). A mark operation changes
//     only the clicked node, its loaded descendants and its ancestors, but re-reading all shown
//     items is cheap enough.
//   - list: when Files().Revision() changed, rebuild the rows from Files().Rows() and the
//     location bar from Files().LocationCaption(); otherwise update the state images only.
//     Row indices are what the calls below take; they hold until the revision changes. Look
//     icons up once per extension, not per file: big folders stay fast that way.
//
// Window events and the calls they make:
//   current tree item changed by the user   SelectFolder(node)
//   a node about to expand (mouse or keys)  ExpandFolder(node)
//   mouse down on a node's state image      ClickFolderMark(node)
//   mouse down on a row's state box         ClickFileMark(selected rows, clicked row)
//   Space on the current node / row         the same two calls
//   header click                            SortByColumn(column)
//   a type check box toggled                SetTypeShown(type, checked)
//   "Show hidden folders"                   ShowHiddenFolders(shown)
//   F5, "Refresh", a watched folder changed RefreshFolder(node)
//   Next                                    BuildConvertList(callback); no rows: the view
//                                           says "No files are selected to be converted."
//   a path handed over (timer) or dropped   SelectPassedFile(path), then apply its result
// Pointer shapes come from SelectorCursor.h with FolderNode::state and FileMarkOf.
//
// While applying a SelectPassedFile result, the view expands items itself: it must not forward
// those expansions (or the selection changes they cause) back to ExpandFolder / SelectFolder.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "selector/ConvertListBuilder.h"
#include "selector/FileList.h"
#include "selector/FolderTree.h"
#include "selector/SelectionLists.h"
#include "selector/ShownTypes.h"

class FileSelectorModel {
public:
    explicit FileSelectorModel(
        const FolderTree::Locations& locations = FolderTree::Locations::FromEnvironment());

    const FolderTree& Tree() const { return tree_; }
    const FileList& Files() const { return files_; }
    const SelectionLists& Lists() const { return lists_; }
    const ShownTypes& Types() const { return types_; }
    FolderNode* Selected() const { return selected_; }

    // The tree's selection changed: the file list shows node's files. Selecting the node that is
    // already selected does nothing; nullptr empties the list. True when the list was refilled.
    bool SelectFolder(FolderNode* node);
    // Re-reads the selected folder's files from disk, with their marks, sorted.
    void RefreshFileList();
    // A node is about to expand: it becomes the selected node, and its sub-folders are loaded
    // the first time, with their marks. The view then expands it. Returns the number of nodes
    // added now (0 when they were loaded before or the folder cannot be read).
    std::size_t ExpandFolder(FolderNode& node);
    // A type check box: the type's shown flag is set and the file list re-read.
    void SetTypeShown(ShownFileType type, bool shown);

    // Folders whose names begin with "." are shown only when asked for (off at first), and
    // always on the way to the selected folder (a file handed over may lie below one).
    void ShowHiddenFolders(bool shown) { showHidden_ = shown; }
    bool ShowsHiddenFolders() const { return showHidden_; }
    bool IsShown(const FolderNode& node) const;
    // Whether the node's item shows an expand button: it holds sub-folders that are shown.
    bool ShowsExpandButton(const FolderNode& node) const;

    // Reads node's folder from disk again: its sub-folders (when they were loaded before) and,
    // when it is the selected folder, its files. New sub-folders appear with their marks;
    // vanished ones go, and with them every mark at and below them; every other mark stays, by
    // path. A node whose folder is gone is read again through its nearest ancestor whose folder
    // is still there (a top-level node stays, empty). The selection moves up out of a folder that
    // went. Returns the node that was read, whose loaded children the view shows afresh.
    FolderNode& RefreshFolder(FolderNode& node);
    // The loaded node of a folder path (ending in "/"), or nullptr.
    FolderNode* FindFolder(const std::string& path) const;
    // A header click on column 0 "Name", 1 "Size" or 2 "Type".
    void SortByColumn(int column);

    // The mark a folder gets when it is loaded or reset: stFully below a folder showing stFully
    // unless it is excluded; otherwise stNone.
    int FolderStateOnLoad(const FolderNode& node) const;
    // The mark a row of the file list should show: stFileConverted when the selected folder
    // shows stJustFiles or stFully or the file is a single file, and it is not excluded;
    // otherwise stNone.
    int FileMarkOf(std::size_t row) const;

    // A click on a folder's state image: selects it, then cycles its mark 1 -> 5 -> 4 -> 1
    // (2 and 3 go to 1), clearing every mark at and below it first; resets its loaded
    // descendants and recomputes the summaries above it and the file marks.
    void ClickFolderMark(FolderNode& node);
    // A click on a row's state box. When two or more rows are selected and the clicked row is
    // one of them, each selected row inverts its own mark; otherwise only the clicked row does.
    void ClickFileMark(const std::vector<std::size_t>& selectedRows, std::size_t clickedRow);
    // Inverts one row's mark (part of ClickFileMark; summaries are not recomputed).
    void ToggleFileMark(std::size_t row);
    // Recomputes the summary marks (stContainsFiles, stToSelected) of node and its ancestors.
    void UpdateMarksUpward(FolderNode& node);
    // Every row of the file list gets FileMarkOf.
    void RefreshFileMarks();

    // What the view does after a handed-over path was taken.
    struct PassedFile {
        // Nodes expanded by the walk, top down: create their child items, expand their items.
        std::vector<FolderNode*> expanded;
        // The row ticked now (the file was not covered by a mark; a sheet's first track ticked):
        // select it and scroll it into view. Empty when the file is not listed or a mark already
        // covered it.
        std::optional<std::size_t> markedRow;
        // A folder was marked with its sub-folders now.
        bool markedFolder = false;
    };
    // Marks a file or a folder (a path ending in "/") handed over by another launch or dropped
    // onto the window: walks the tree down to its folder (loading sub-folders as an expansion
    // does, starting at the top-level node that holds the deepest part of the path) and selects
    // it. A file is ticked unless a mark covers it (a cue sheet: each of its tracks); a folder is
    // marked with its sub-folders (as a click on an empty box does) unless it shows that mark
    // already. The summary marks of the folders above follow at once. A path whose folder is not
    // reachable, or whose file is not listed, changes no mark.
    PassedFile SelectPassedFile(const std::string& path);

    // The flat list of files to convert (see ConvertListBuilder).
    std::vector<ConvertRow> BuildConvertList(ConvertListBuilder::Progress afterEachFile = {}) const;

private:
    void MarkFully(FolderNode& node);
    void ResetDescendants(FolderNode& node);
    bool IsOnSelectedPath(const FolderNode& node) const;
    void WalkTo(const std::string& folder, PassedFile& result);
    FolderNode* FindNode(const std::vector<std::unique_ptr<FolderNode>>& nodes,
                         const std::string& path) const;
    FolderNode* DeepestTopLevel(const std::string& folder) const;
    // The rows of a file: its own, or every track of a cue sheet.
    std::vector<std::size_t> FindRows(const std::string& path) const;

    FolderTree tree_;
    FileList files_;
    SelectionLists lists_;
    ShownTypes types_;
    FolderNode* selected_ = nullptr;
    bool showHidden_ = false;
};
