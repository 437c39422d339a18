#include "choices/RenameCheck.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {
std::string Normal(const std::string& path) {
    return fs::path(path).lexically_normal().string();
}

RenameVerdict Refuse(std::size_t row, std::string message) {
    RenameVerdict verdict;
    verdict.RefusedRow = row;
    verdict.Refusal = std::move(message);
    return verdict;
}
} // namespace

bool IsExistingFolder(const std::string& folder) {
    std::error_code error;
    return fs::is_directory(folder, error);
}

std::string ResolveCaption(const std::string& caption, const std::string& outputPath) {
    const fs::path typed(caption);
    if (typed.is_absolute()) {
        return typed.lexically_normal().string();
    }
    return (fs::path(outputPath).parent_path() / typed).lexically_normal().string();
}

bool NamesOtherExistingFile(const std::string& newPath, const std::string& ownOutput) {
    std::error_code error;
    if (!fs::exists(fs::symlink_status(newPath, error))) {
        return false;
    }
    // Another spelling of the row's own output is no other file.
    return !fs::equivalent(newPath, ownOutput, error);
}

RenameVerdict CheckRenames(const std::vector<OverwriteRow>& rows, const OtherFileTest& otherFile,
                           const FolderTest& folderExists) {
    RenameVerdict verdict;
    std::vector<std::string> newNames; // normalised, of the rows renamed so far
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const OverwriteRow& row = rows[i];
        if (row.Caption == row.ListedCaption) {
            continue;
        }
        if (row.Caption.empty()) {
            return Refuse(i, "The new name of '" + row.OutputPath +
                                 "' is empty. Please type a name for it.");
        }
        const std::string newPath = ResolveCaption(row.Caption, row.OutputPath) + row.Extension;
        const std::string folder = fs::path(newPath).parent_path().string();
        if (!folderExists(folder)) {
            return Refuse(i, "The folder '" + folder + "' does not exist. Please choose another " +
                                 "name for '" + row.OutputPath + "'.");
        }
        if (otherFile(newPath, row.OutputPath)) {
            return Refuse(i, "'" + newPath + "' already exists. Please choose another name for '" +
                                 row.OutputPath + "'.");
        }
        const std::string normal = Normal(newPath);
        for (const std::string& taken : newNames) {
            if (taken == normal) {
                return Refuse(i, "'" + newPath +
                                     "' is already the new name of another file. Please choose "
                                     "another name for '" +
                                     row.OutputPath + "'.");
            }
        }
        newNames.push_back(normal);
        verdict.Entries.push_back({row.OutputPath, newPath});
    }
    return verdict;
}
