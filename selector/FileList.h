#pragma once
// The file list beside the folder tree: the audio files of one folder whose type is shown (the
// selector's "Convert [From]" boxes, ShownTypes), sorted by one of three columns.
//
// The view shows Rows() in their order. Revision() changes whenever the rows are refilled or
// reordered: the view rebuilds its rows then, and otherwise only updates the state images
// (rows keep their indices between revisions). Row indices are what the view passes back to
// FileSelectorModel for clicks. Marks are set by FileSelectorModel, not here.
#include <array>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "selector/FileRow.h"
#include "selector/ShownTypes.h"

class FileList {
public:
    enum Column : int { ColName = 0, ColSize = 1, ColType = 2 };
    static constexpr int ColumnCount = 3;

    // Re-reads folder (a path ending in "/") from disk: one row per entry that is not a
    // directory and whose extension is of a shown type, each with state stNone; a cue sheet gives
    // a row per track, and the audio it splits none. An empty folder
    // path, or one that cannot be read, leaves the list empty. Rows come unsorted: call Sort().
    void Refill(const std::string& folder, const ShownTypes& types);
    // Sorts by the current column and its direction.
    void Sort();
    // A click on a column's header: its descending flag flips, it becomes the sort column, and
    // the rows are sorted. So the first click on any column sorts it descending.
    void ColumnClick(int column);

    // -1, 0 or 1 by the current sort column ("Name": the names in the user's order, numbers as
    // numbers, then the extensions; "Size": the kilobytes shown; "Type": the descriptions as they
    // stand, by character code), swapped when that column sorts descending.
    int CompareFileItems(const FileRow& a, const FileRow& b) const;

    const std::string& Folder() const { return folder_; }
    const std::vector<FileRow>& Rows() const { return rows_; }
    std::size_t Size() const { return rows_.size(); }
    // Folder + caption + extension of a row.
    std::string FullPath(std::size_t row) const;
    void SetState(std::size_t row, int state) { rows_.at(row).state = state; }

    // The caption of the bar above the list: " Supported Audio Files in '" + folder + "'".
    std::string LocationCaption() const;
    int SortColumn() const { return sortColumn_; }
    bool Descending(int column) const;
    std::uint64_t Revision() const { return revision_; }

private:
    void AddSheet(const std::string& name, const std::string& description,
                  std::set<std::string>& splitAudio);
    static bool IsSheetRow(const FileRow& row) { return !row.sheetName.empty(); }
    void ShowExtensionsOfTwins();

    std::string folder_;
    std::vector<FileRow> rows_;
    int sortColumn_ = ColName;
    std::array<bool, ColumnCount> descending_{};
    std::uint64_t revision_ = 0;
};
