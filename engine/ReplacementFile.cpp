#include "engine/ReplacementFile.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "system/FileNames.h"

namespace {
constexpr const char* Suffix = ".tmp";
constexpr int NameAttempts = 100;

std::string FolderOf(const std::string& path) {
    return path.find(PathSeparator) == std::string::npos ? std::string("./") : GetFolderPart(path);
}

std::string ProcLink(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

std::string RandomLetters() {
    static constexpr char letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof letters - 2);
    std::string text(6, 'x');
    for (char& c : text) {
        c = letters[pick(random)];
    }
    return text;
}
} // namespace

ReplacementFile::ReplacementFile(const std::string& destination, const char* prefix)
    : destination_(destination), prefix_(prefix) {
    const std::string folder = FolderOf(destination);
    if (OpenUnnamed(folder)) {
        return;
    }
    std::string name = folder + prefix + "XXXXXX" + Suffix;
    const UniqueFd file(mkstemps(name.data(), 4));
    // When the folder refuses a new file the name stays a template; the sink's own attempt to
    // create it then fails and reports the output error.
    name_ = std::move(name);
    if (file.Valid()) {
        linked_ = name_;
    }
}

bool ReplacementFile::OpenUnnamed(const std::string& folder) {
    UniqueFd file(open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    // The sink and the codec modules open paths: the file's link in /proc must work.
    if (!file.Valid() || access(ProcLink(file.Get()).c_str(), W_OK) != 0) {
        return false;
    }
    name_ = ProcLink(file.Get());
    unnamed_ = std::move(file);
    return true;
}

ReplacementFile::~ReplacementFile() {
    if (!linked_.empty()) {
        unlink(linked_.c_str());
    }
}

bool ReplacementFile::LinkUnnamed() {
    const std::string folder = FolderOf(destination_);
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const std::string name = folder + prefix_ + RandomLetters() + Suffix;
        if (linkat(AT_FDCWD, name_.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            linked_ = name;
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

bool ReplacementFile::Commit() {
    if (linked_.empty() && !unnamed_.Valid()) {
        return false;
    }
    {
        const UniqueFd opened(unnamed_.Valid() ? -1 : open(linked_.c_str(), O_RDONLY | O_CLOEXEC));
        const int file = unnamed_.Valid() ? unnamed_.Get() : opened.Get();
        if (file < 0 || fsync(file) != 0) {
            return false;
        }
        // The new version keeps the permissions of the file it replaces.
        struct stat old {};
        if (stat(destination_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
            fchmod(file, old.st_mode & 07777);
        }
    }
    // The name exists only for the moment between these two calls.
    if (unnamed_.Valid() && !LinkUnnamed()) {
        return false;
    }
    unnamed_.Reset();
    if (std::rename(linked_.c_str(), destination_.c_str()) != 0) {
        return false;
    }
    linked_.clear();
    return true;
}
