#include "cli/InputList.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <sys/stat.h>

#include "system/FileNames.h"
#include "sources/FileTypes.h"
#include "system/SFind.h"

namespace {
struct Walk {
    bool recursive;
    std::vector<std::string>& inputs;
    std::set<std::string> seen;
    // Folders already walked, by device and inode, so linked folders cannot loop.
    std::set<std::pair<dev_t, ino_t>> folders;

    void Add(const std::string& path) {
        if (seen.insert(path).second) {
            inputs.push_back(path);
        }
    }

    void Folder(const std::string& folder) {
        struct stat st {};
        if (stat(folder.c_str(), &st) != 0 || !folders.emplace(st.st_dev, st.st_ino).second) {
            return;
        }
        std::vector<std::string> files;
        std::vector<std::string> subfolders;
        SFind find("*", folder);
        while (find.Next()) {
            if (find.IsFolder()) {
                subfolders.push_back(find.GetFullPath());
            } else if (IsShownFileType(GetFileExtension(find.GetName()))) {
                files.push_back(find.GetFullPath());
            }
        }
        std::sort(files.begin(), files.end());
        std::sort(subfolders.begin(), subfolders.end());
        for (const std::string& file : files) {
            Add(file);
        }
        if (recursive) {
            for (const std::string& sub : subfolders) {
                Folder(sub);
            }
        }
    }
};
} // namespace

bool CollectInputs(const std::vector<std::string>& arguments, bool recursive,
                   std::vector<std::string>& inputs, std::string& error) {
    Walk walk{recursive, inputs, {}, {}};
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
            walk.Folder(path);
        } else {
            walk.Add(path);
        }
    }
    return true;
}
