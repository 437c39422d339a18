#include "engine/ReplacementFile.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "system/FileNames.h"
#include "system/UniqueFd.h"

namespace {
std::string FolderOf(const std::string& path) {
    return path.find(PathSeparator) == std::string::npos ? std::string("./") : GetFolderPart(path);
}
} // namespace

ReplacementFile::ReplacementFile(const std::string& destination, const char* prefix)
    : destination_(destination) {
    std::string name = FolderOf(destination) + prefix + "XXXXXX.tmp";
    const UniqueFd file(mkstemps(name.data(), 4));
    // When the folder refuses a new file the name stays a template; the sink's own attempt to
    // create it then fails and reports the output error.
    name_ = std::move(name);
    struct stat old {};
    if (file.Valid() && stat(destination.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        // The new version keeps the permissions of the file it replaces.
        fchmod(file.Get(), old.st_mode & 07777);
    }
}

ReplacementFile::~ReplacementFile() {
    if (!name_.empty()) {
        unlink(name_.c_str());
    }
}

bool ReplacementFile::Commit() {
    {
        const UniqueFd file(open(name_.c_str(), O_RDONLY | O_CLOEXEC));
        if (!file.Valid() || fsync(file.Get()) != 0) {
            return false;
        }
    }
    if (std::rename(name_.c_str(), destination_.c_str()) != 0) {
        return false;
    }
    name_.clear();
    return true;
}
