#include "system/HandOverPaths.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "catalog/InputNames.h"
#include "system/FileNames.h"
#include "system/FileTypes.h"

namespace {
// Why path cannot be passed on; nullopt when it can. A folder's path gets its final "/".
std::optional<std::string> Refusal(std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? "no such file or folder"
                                                   : std::strerror(errno);
    }
    if (S_ISDIR(st.st_mode)) {
        WithTrailingSlash(path);
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        return "not a regular file";
    }
    if (!IsListedFileType(GetFileExtension(path))) {
        return "not a " + InputFormatNames("or") + " file";
    }
    return std::nullopt;
}
} // namespace

HandOverPaths HandOverPaths::Check(const std::vector<std::string>& paths) {
    HandOverPaths checked;
    for (std::string path : paths) {
        if (const auto why = Refusal(path)) {
            checked.refusals.push_back(path + ": " + *why + "; not passed on");
        } else {
            checked.passable.push_back(std::move(path));
        }
    }
    return checked;
}
