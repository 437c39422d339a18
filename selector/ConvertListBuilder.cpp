#include "selector/ConvertListBuilder.h"

#include <sys/stat.h>

#include <algorithm>
#include <unordered_map>

#include "selector/FileRow.h"
#include "selector/NameOrder.h"
#include "system/FileNames.h"
#include "system/FileRoutines.h"
#include "system/FileTypes.h"
#include "system/FolderScan.h"

namespace {
struct Entry {
    std::string name;
    bool isFolder;
};

// The folder's entries in enumeration order. Reading them all first keeps one folder open at a
// time however deep the tree goes.
std::vector<Entry> ReadEntries(const std::string& folder) {
    std::vector<Entry> entries;
    FolderScan find("*.*", folder);
    while (find.Next()) {
        entries.push_back({find.GetName(), find.IsFolder()});
    }
    return entries;
}

// A row's place in the selector's order: its folders from the top as the tree sorts them (so a
// folder's own files, whose folder list is shorter, come before its sub-folders'), then its name
// as the file list sorts it.
struct NamePlace {
    std::vector<std::string> folders;
    std::string name;
    std::string extension;

    bool operator<(const NamePlace& other) const {
        return std::tie(folders, name, extension) <
               std::tie(other.folders, other.name, other.extension);
    }
};

// The rows in the order the selector shows their names: the tree's and the file list's.
void SortInNameOrder(std::vector<ConvertRow>& rows) {
    const NameOrder& order = NameOrder::ForUser();
    std::unordered_map<std::string, std::vector<std::string>> folderKeys;
    std::vector<std::pair<NamePlace, std::size_t>> places;
    places.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ConvertRow& row = rows[i];
        // A track stands where its sheet's name does.
        const std::string& path = row.sheetPath.empty() ? row.fullPath : row.sheetPath;
        const std::string folder = GetFolderPart(path);
        auto [keys, added] = folderKeys.try_emplace(folder);
        if (added) {
            for (std::size_t start = 0, end; (end = folder.find('/', start)) != std::string::npos;
                 start = end + 1) {
                keys->second.push_back(order.Key(folder.substr(start, end - start)));
            }
        }
        const std::string name = row.part ? RemoveExtension(GetFileNamePart(row.sheetPath)) + ' ' +
                                                GetFileNamePart(row.caption)
                                          : GetFileNamePart(row.caption);
        places.push_back({{keys->second, order.Key(name), order.Key(row.extension)}, i});
    }
    std::stable_sort(places.begin(), places.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<ConvertRow> sorted;
    sorted.reserve(rows.size());
    for (const auto& [place, index] : places) {
        sorted.push_back(std::move(rows[index]));
    }
    rows = std::move(sorted);
}
} // namespace

ConvertListBuilder::ConvertListBuilder(const SelectionLists& lists, ShownTypes types,
                                       Progress afterEachFile)
    : lists_(lists), types_(types), afterEachFile_(std::move(afterEachFile)) {}

std::vector<ConvertRow> ConvertListBuilder::Build() {
    rows_.clear();
    entered_.clear();
    descriptions_ = {};
    sheets_.clear();
    splitAudio_.clear();
    // Indices, not iterators: the lists may change under a callback.
    for (std::size_t i = 0; i < lists_.dirsToFullyBack.Size(); ++i) {
        AddFolderFiles(lists_.dirsToFullyBack[i], true, {});
    }
    for (std::size_t i = 0; i < lists_.dirsToJustFilesBack.Size(); ++i) {
        AddFolderFiles(lists_.dirsToJustFilesBack[i], false, {});
    }
    for (std::size_t i = 0; i < lists_.filesToBack.Size(); ++i) {
        const std::string path = lists_.filesToBack[i];
        const std::optional<unsigned> track = SheetTracks::TrackOfKey(path);
        if (track || IsCueSheetType(GetFileExtension(path))) {
            AddSheet(SheetTracks::SheetOfKey(path), {}, track);
        } else {
            AddFileToConvert(path, {});
        }
    }
    DropSplitAudio();
    SortInNameOrder(rows_);
    return std::move(rows_);
}

bool ConvertListBuilder::EnterOnce(const std::string& folder) {
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return false;
    }
    return entered_.insert({st.st_dev, st.st_ino}).second;
}

void ConvertListBuilder::AddFolderFiles(const std::string& folder, bool recurse,
                                        const std::string& subFolder) {
    // A copy: the list entry it came from may go while a callback runs.
    const std::string f = folder;
    if (!EnterOnce(f)) {
        return;
    }
    for (const Entry& entry : ReadEntries(f)) {
        if (!entry.isFolder) {
            const std::string extension = GetFileExtension(entry.name);
            if (types_.Shows(extension) && IsCueSheetType(extension)) {
                AddSheet(f + entry.name, subFolder);
            } else if (types_.Shows(extension)) {
                AddFileToConvert(f + entry.name, subFolder);
            }
            continue;
        }
        if (!recurse) {
            continue;
        }
        const std::string sub = f + entry.name + PathSeparator;
        if (SelectionLists::ListContainsPath(lists_.dirsToExclude, sub) ||
            SelectionLists::ListContainsPath(lists_.dirsToJustFilesBack, sub)) {
            continue; // cut out, or its own files come with the "Just files" folders
        }
        AddFolderFiles(sub, true, subFolder + entry.name + PathSeparator);
    }
}

void ConvertListBuilder::AddFileToConvert(const std::string& path, const std::string& subFolder) {
    if (SelectionLists::ListContainsPath(lists_.filesToExclude, path)) {
        AddRow({});
        return;
    }
    ConvertRow row;
    row.fullPath = path;
    row.caption = RemoveExtension(path);
    row.extension = GetFileExtension(path);
    row.typeDescription = descriptions_.Describe(row.extension);
    row.size = GetFileSizeOfName(path);
    row.sizeText = FileSizeText(row.size);
    row.subFolder = subFolder;
    AddRow(std::move(row));
}

void ConvertListBuilder::AddSheet(const std::string& sheetPath, const std::string& subFolder,
                                  std::optional<unsigned> only) {
    const SheetTracks& sheet = Sheet(sheetPath);
    if (sheet.Failed()) {
        AddFileToConvert(sheetPath, subFolder);
        return;
    }
    ConvertRow row;
    row.extension = GetFileExtension(sheetPath);
    row.typeDescription = descriptions_.Describe(row.extension);
    row.subFolder = subFolder;
    row.sheetPath = sheetPath;
    for (const SheetTracks::Track& track : sheet.Tracks()) {
        splitAudio_.insert(track.audioPath);
        const std::string key = SheetTracks::TrackKey(sheetPath, track.number);
        if ((only && track.number != *only) ||
            SelectionLists::ListContainsPath(lists_.filesToExclude, key)) {
            continue;
        }
        row.fullPath = track.audioPath;
        row.caption = GetFolderPart(sheetPath) + track.name;
        row.sizeText = track.lengthText;
        row.part = track.part;
        AddRow(row);
    }
}

// Every file considered is told, added or not (an empty row: not added).
void ConvertListBuilder::AddRow(ConvertRow row) {
    if (!row.fullPath.empty()) {
        rows_.push_back(std::move(row));
    }
    if (afterEachFile_) {
        afterEachFile_(rows_);
    }
}

const SheetTracks& ConvertListBuilder::Sheet(const std::string& sheetPath) {
    auto found = sheets_.find(sheetPath);
    if (found == sheets_.end()) {
        found = sheets_.try_emplace(sheetPath, sheetPath).first;
    }
    return found->second;
}

void ConvertListBuilder::DropSplitAudio() {
    std::erase_if(rows_, [this](const ConvertRow& row) {
        return !row.part && splitAudio_.contains(row.fullPath);
    });
}
