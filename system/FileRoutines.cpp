#include "system/FileRoutines.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "system/FileNames.h"
#include "system/FolderScan.h"

namespace {
bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
} // namespace

bool EntryExists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

bool FileExists(std::string_view path, bool* isFolder) {
    if (isFolder) {
        *isFolder = false;
    }
    const std::string name = GetFileNamePart(path);
    if (name.empty() || name == "." || name == ".." || path.find('\0') != std::string_view::npos) {
        return false;
    }
    // The path itself decides: a folder that may be written but not listed still holds its
    // files, and a link counts as the entry it is, wherever it points.
    const std::string p(path);
    struct stat st {};
    if (lstat(p.c_str(), &st) == 0) {
        if (isFolder) {
            *isFolder = IsFolder(p);
        }
        return true;
    }
    // Unable to tell (no permission to look, for one): whoever asks must not take it as free.
    if (errno != ENOENT && errno != ENOTDIR) {
        return true;
    }
    if (name.find_first_of("*?") == std::string::npos) {
        return false;
    }
    // A bare name lives in the current folder (GetFolderPart would give the name itself).
    const std::string folder = name.size() == path.size() ? std::string() : GetFolderPart(path);
    FolderScan find(name, folder);
    if (!find.Next()) {
        return false;
    }
    if (isFolder) {
        *isFolder = find.IsFolder();
    }
    return true;
}

UniqueFd OpenRegularFile(std::string_view path) {
    const std::string p(path);
    if (p.find('\0') != std::string::npos) {
        return {};
    }
    UniqueFd fd(open(p.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat st {};
    if (!fd.Valid() || fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return {};
    }
    // Reads of a regular file wait for the disk as usual.
    const int flags = fcntl(fd.Get(), F_GETFL);
    if (flags < 0 || fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return {};
    }
    return fd;
}

uint64_t GetFileSizeOfHandle(int fd, bool* failed) {
    struct stat st {};
    const bool ok = fstat(fd, &st) == 0;
    if (failed) {
        *failed = !ok;
    }
    return ok ? static_cast<uint64_t>(st.st_size) : 0;
}

uint64_t GetFileSizeOfName(std::string_view path, bool* failed) {
    struct stat st {};
    const std::string p(path);
    // A folder has no size of its own: it cannot be opened as a file.
    const bool ok =
        p.find('\0') == std::string::npos && stat(p.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
    if (failed) {
        *failed = !ok;
    }
    return ok ? static_cast<uint64_t>(st.st_size) : 0;
}

bool CreateFolderPath(std::string_view path) {
    std::string p(path);
    if (p.empty() || p.find('\0') != std::string::npos) {
        return false;
    }
    if (p.size() > 1 && p.back() == PathSeparator) {
        p.pop_back();
    }
    // The root needs no creating; a relative path starts with its first folder.
    std::size_t pos = p.front() == PathSeparator ? 1 : 0;
    while (pos <= p.size()) {
        std::size_t sep = p.find(PathSeparator, pos);
        if (sep == std::string::npos) {
            sep = p.size();
        }
        if (sep > pos) {
            // Existing folders make mkdir fail harmlessly.
            mkdir(p.substr(0, sep).c_str(), 0777);
        }
        pos = sep + 1;
    }
    return IsFolder(p);
}
