#include "engine/StagedOutput.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <utility>

#include "system/FileNames.h"

namespace {
constexpr const char* Suffix = ".tmp";
constexpr int NameAttempts = 100;
// Bits a new output never takes from the file it replaces.
constexpr mode_t PermissionBits = 0777;

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

// A hard link that never replaces; file systems without hard links get a rename that does not
// replace either.
int LinkWithoutReplacing(const char* from, const char* to, int flags) {
    if (linkat(AT_FDCWD, from, AT_FDCWD, to, flags) == 0) {
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) {
        return -1;
    }
    return renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}
} // namespace

StagedOutput::StagedOutput(const std::string& destination, const char* prefix)
    : destination_(destination), prefix_(prefix) {
    const std::string folder = FolderOf(destination);
    if (OpenUnnamed(folder)) {
        return;
    }
    std::string name = folder + prefix + "XXXXXX" + Suffix;
    file_.Reset(mkostemps(name.data(), 4, O_CLOEXEC));
    // When the folder refuses a new file the name stays a template; the sink's own attempt to
    // create it then fails and reports the output error.
    path_ = name;
    if (file_.Valid()) {
        named_ = std::move(name);
    }
}

StagedOutput::StagedOutput(const std::string& destination, PendingOutput pending)
    : destination_(destination), prefix_("BRC") {
    auto [file, named] = pending.Release();
    file_ = std::move(file);
    named_ = std::move(named);
    unnamed_ = named_.empty() && file_.Valid();
    path_ = unnamed_ ? ProcLink(file_.Get()) : named_;
}

PendingOutput StagedOutput::Hold() {
    unnamed_ = false;
    path_.clear();
    return PendingOutput(std::move(file_), std::exchange(named_, {}));
}

bool StagedOutput::OpenUnnamed(const std::string& folder) {
    UniqueFd file(open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666));
    // The sink and the codec modules open paths: the file's link in /proc must work.
    if (!file.Valid() || access(ProcLink(file.Get()).c_str(), W_OK) != 0) {
        return false;
    }
    path_ = ProcLink(file.Get());
    file_ = std::move(file);
    unnamed_ = true;
    return true;
}

StagedOutput::~StagedOutput() {
    if (!named_.empty()) {
        unlink(named_.c_str());
    }
}

StagedOutput::LinkResult StagedOutput::LinkIn() {
    if (!file_.Valid()) {
        return LinkResult::Failed;
    }
    const std::string& from = unnamed_ ? path_ : named_;
    if (LinkWithoutReplacing(from.c_str(), destination_.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        if (errno == EEXIST) {
            return LinkResult::Taken;
        }
        Refused();
        return LinkResult::Failed;
    }
    // A rename took the name along; a link left it, for the destructor to remove.
    if (!named_.empty() && access(named_.c_str(), F_OK) != 0) {
        named_.clear();
    }
    file_.Reset();
    unnamed_ = false;
    return LinkResult::Linked;
}

bool StagedOutput::NameUnnamed() {
    const std::string folder = FolderOf(destination_);
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const std::string name = folder + prefix_ + RandomLetters() + Suffix;
        if (linkat(AT_FDCWD, path_.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            named_ = name;
            return true;
        }
        if (errno != EEXIST) {
            return Refused();
        }
    }
    return false;
}

bool StagedOutput::Refused() {
    error_ = errno;
    return false;
}

bool StagedOutput::Replace() {
    if (!file_.Valid()) {
        return false;
    }
    if (fsync(file_.Get()) != 0) {
        return Refused();
    }
    // The new version keeps the permissions of a regular file it replaces, never those of a
    // link's target nor set-user-ID, set-group-ID or sticky bits.
    struct stat old {};
    if (lstat(destination_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        fchmod(file_.Get(), old.st_mode & PermissionBits);
    }
    // The name exists only for the moment between these two calls.
    if (unnamed_ && !NameUnnamed()) {
        return false;
    }
    if (std::rename(named_.c_str(), destination_.c_str()) != 0) {
        return Refused();
    }
    named_.clear();
    file_.Reset();
    unnamed_ = false;
    return true;
}
