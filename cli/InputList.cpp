#include "cli/InputList.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <sys/stat.h>

#include "catalog/FormatTable.h"
#include "cue/CueSheet.h"
#include "system/FileNames.h"
#include "system/FileTypes.h"
#include "system/FolderScan.h"

namespace {
using FolderId = std::pair<dev_t, ino_t>;

std::optional<FolderId> FolderIdOf(const std::string& path) {
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return std::nullopt;
    }
    return FolderId{st.st_dev, st.st_ino};
}

// Opening a FIFO for reading blocks until a writer comes: only regular files are audio files.
bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

struct Walk {
    bool recursive;
    std::span<const FormatInfo* const> from;
    std::optional<FolderId> outputFolder;
    CollectedInputs& inputs;
    std::set<std::string> seen;
    // Folders already walked, so that linked folders cannot loop.
    std::set<FolderId> walked;

    void Add(const std::string& path, const std::string& subFolder) {
        if (seen.insert(path).second) {
            inputs.paths.push_back(path);
            inputs.subFolders.push_back(subFolder);
        }
    }

    bool Collects(const std::string& ext) const {
        if (from.empty() && UpperAscii(ext) == UpperAscii(CueSheetExtension)) {
            return true;
        }
        return IsAudioFileType(ext) &&
               (from.empty() || std::ranges::find(from, FindInputFormat(ext)) != from.end());
    }

    void Folder(const std::string& folder, const std::string& subFolder) {
        const std::optional<FolderId> id = FolderIdOf(folder);
        // The output folder is never read as input below a folder argument: its outputs would
        // be converted again by the next run.
        const bool isOutput = !subFolder.empty() && id == outputFolder;
        if (!id || isOutput || !walked.insert(*id).second) {
            return;
        }
        std::vector<std::string> files;
        std::vector<std::string> subfolders;
        FolderScan find("*", folder);
        while (find.Next()) {
            if (find.IsFolder()) {
                subfolders.push_back(find.GetName());
            } else if (Collects(GetFileExtension(find.GetName())) &&
                       IsRegularFile(find.GetFullPath())) {
                files.push_back(find.GetFullPath());
            }
        }
        std::sort(files.begin(), files.end());
        std::sort(subfolders.begin(), subfolders.end());
        for (const std::string& file : files) {
            Add(file, subFolder);
        }
        if (recursive) {
            std::string path = folder;
            WithTrailingSlash(path);
            for (const std::string& sub : subfolders) {
                Folder(path + sub, subFolder + sub + PathSeparator);
            }
        }
    }
};
} // namespace

bool CollectInputs(const std::vector<std::string>& arguments, bool recursive,
                   std::span<const FormatInfo* const> from, const std::string& skipFolder,
                   CollectedInputs& inputs, std::string& error) {
    Walk walk{recursive, from, FolderIdOf(skipFolder), inputs, {}, {}};
    for (const std::string& argument : arguments) {
        std::error_code ec;
        const std::string path =
            std::filesystem::absolute(argument, ec).lexically_normal().string();
        struct stat st {};
        if (ec || stat(path.c_str(), &st) != 0) {
            error = "no such file or folder: " + argument;
            return false;
        }
        if (S_ISDIR(st.st_mode)) {
            walk.Folder(path, "");
        } else {
            walk.Add(path, "");
        }
    }
    return true;
}
