#include "jobs/OutputFolder.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "system/FileNames.h"

std::string PrepareOutputFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(folder, ec);
    if (fs::exists(status) && !fs::is_directory(status)) {
        return "'" + folder + "' is not a folder";
    }
    if (!fs::exists(status) && !fs::create_directories(folder, ec) && ec) {
        return "cannot make the folder '" + folder + "': " + ec.message();
    }
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        return "cannot write into the folder '" + folder + "': " + std::strerror(errno);
    }
    return {};
}

std::string PrepareFolderOf(const std::string& output) {
    const std::string failure = PrepareOutputFolder(GetFolderPart(output));
    return failure.empty() ? failure : "Unable to use the output folder: " + failure + ".";
}
