#include "selector/FileList.h"

#include <algorithm>
#include <unordered_map>

#include "selector/NameOrder.h"
#include "selector/TypeDescriptionCache.h"
#include "system/FileNames.h"
#include "system/FileRoutines.h"
#include "system/FolderScan.h"

void FileList::Refill(const std::string& folder, const ShownTypes& types) {
    folder_ = folder;
    rows_.clear();
    ++revision_;
    if (folder.empty()) {
        return;
    }
    TypeDescriptionCache descriptions;
    FolderScan find("*.*", folder);
    while (find.Next()) {
        if (find.IsFolder()) {
            continue;
        }
        std::string extension = GetFileExtension(find.GetName());
        if (!types.Shows(extension)) {
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
    ShowExtensionsOfTwins();
}

// "Intro.mp3" and "Intro.wav" would both read "Intro".
void FileList::ShowExtensionsOfTwins() {
    std::unordered_map<std::string, int> captions;
    for (const FileRow& row : rows_) {
        ++captions[row.caption];
    }
    for (FileRow& row : rows_) {
        row.shownName = captions[row.caption] > 1 ? row.caption + row.extension : row.caption;
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
    return folder_ + r.caption + r.extension;
}

std::string FileList::LocationCaption() const {
    return " Supported Audio Files in '" + folder_ + "'";
}

bool FileList::Descending(int column) const {
    return column >= 0 && column < ColumnCount && descending_[static_cast<std::size_t>(column)];
}
