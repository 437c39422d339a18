#include "selector/FileList.h"

#include <algorithm>
#include <unordered_map>

#include "selector/NameOrder.h"
#include "selector/SheetTracks.h"
#include "selector/TypeDescriptionCache.h"
#include "system/FileNames.h"
#include "system/FileRoutines.h"
#include "system/FileTypes.h"
#include "system/FolderScan.h"

void FileList::Refill(const std::string& folder, const ShownTypes& types) {
    folder_ = folder;
    rows_.clear();
    ++revision_;
    if (folder.empty()) {
        return;
    }
    TypeDescriptionCache descriptions;
    std::set<std::string> splitAudio;
    FolderScan find("*.*", folder);
    while (find.Next()) {
        if (find.IsFolder()) {
            continue;
        }
        std::string extension = GetFileExtension(find.GetName());
        if (!types.Shows(extension)) {
            continue;
        }
        if (IsCueSheetType(extension)) {
            AddSheet(find.GetName(), descriptions.Describe(extension), splitAudio);
            continue;
        }
        FileRow row;
        row.caption = RemoveExtension(find.GetName());
        row.size = GetFileSizeOfName(find.GetFullPath());
        row.sizeText = FileSizeText(row.size);
        row.typeDescription = descriptions.Describe(extension);
        row.extension = std::move(extension);
        row.sortName = NameOrder::ForUser().Key(row.caption);
        rows_.push_back(std::move(row));
    }
    // An audio file that a listed sheet splits is listed as its tracks only.
    std::erase_if(rows_, [&](const FileRow& row) {
        return !IsSheetRow(row) && splitAudio.contains(folder + row.caption + row.extension);
    });
    ShowExtensionsOfTwins();
}

// A row per track, named as its output is by default and sorted where the sheet's name stands;
// a sheet that cannot be read keeps a row of its own, whose conversion tells why.
void FileList::AddSheet(const std::string& name, const std::string& description,
                        std::set<std::string>& splitAudio) {
    const SheetTracks sheet(folder_ + name);
    const std::string sheetCaption = RemoveExtension(name);
    FileRow row;
    row.extension = GetFileExtension(name);
    row.typeDescription = description;
    row.sheetName = name;
    if (sheet.Failed()) {
        row.caption = sheetCaption;
        row.sortName = NameOrder::ForUser().Key(sheetCaption);
        rows_.push_back(std::move(row));
        return;
    }
    for (const SheetTracks::Track& track : sheet.Tracks()) {
        splitAudio.insert(track.audioPath);
        row.caption = track.name;
        row.sizeText = track.lengthText;
        row.track = track.number;
        row.sortName = NameOrder::ForUser().Key(sheetCaption + ' ' + track.name);
        rows_.push_back(row);
    }
}

// "Intro.mp3" and "Intro.wav" would both read "Intro".
void FileList::ShowExtensionsOfTwins() {
    std::unordered_map<std::string, int> captions;
    for (const FileRow& row : rows_) {
        ++captions[row.caption];
    }
    for (FileRow& row : rows_) {
        const bool twin = captions[row.caption] > 1 && !row.track;
        row.shownName = twin ? row.caption + row.extension : row.caption;
    }
}

int FileList::CompareFileItems(const FileRow& a, const FileRow& b) const {
    int result = 0;
    switch (sortColumn_) {
    case ColSize:
        // By number: the same order as the right-aligned texts, also past six digits.
        result = CompareKeys(FileSizeKilobytes(a.size), FileSizeKilobytes(b.size));
        break;
    case ColType:
        result = CompareKeys(a.typeDescription, b.typeDescription);
        break;
    default:
        result = CompareKeys(a.sortName, b.sortName);
        if (result == 0) {
            result = NameOrder::ForUser().Compare(a.extension, b.extension);
        }
        break;
    }
    return descending_[static_cast<std::size_t>(sortColumn_)] ? -result : result;
}

void FileList::Sort() {
    std::stable_sort(rows_.begin(), rows_.end(), [this](const FileRow& a, const FileRow& b) {
        return CompareFileItems(a, b) < 0;
    });
    ++revision_;
}

void FileList::ColumnClick(int column) {
    if (column < 0 || column >= ColumnCount) {
        return;
    }
    descending_[static_cast<std::size_t>(column)] = !descending_[static_cast<std::size_t>(column)];
    sortColumn_ = column;
    Sort();
}

std::string FileList::FullPath(std::size_t row) const {
    const FileRow& r = rows_.at(row);
    if (r.track) {
        return SheetTracks::TrackKey(folder_ + r.sheetName, *r.track);
    }
    return folder_ + r.caption + r.extension;
}

std::string FileList::LocationCaption() const {
    return " Supported Audio Files in '" + folder_ + "'";
}

bool FileList::Descending(int column) const {
    return column >= 0 && column < ColumnCount && descending_[static_cast<std::size_t>(column)];
}
