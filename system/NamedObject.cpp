#include "system/NamedObject.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

#include "system/AppPaths.h"

namespace {
int LockRetrying(int fd, int operation) {
    int result;
    while ((result = flock(fd, operation)) != 0 && errno == EINTR) {
    }
    return result;
}

// Holds the runtime folder's own lock, which serialises creating and testing objects. A test
// takes the object's file exclusively for a moment, which would make a process creating the
// object at that moment believe it existed; and flock may turn the creator's exclusive lock into
// its shared one by unlocking first, which would let a second creator in.
class FolderGuard {
public:
    explicit FolderGuard(const std::string& objectPath)
        : fd_(open(objectPath.substr(0, objectPath.rfind('/') + 1).c_str(),
                   O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_.Valid() && LockRetrying(fd_.Get(), LOCK_EX) != 0) {
            fd_.Reset();
        }
    }
    bool Held() const { return fd_.Valid(); }

private:
    UniqueFd fd_;
};

// True when nobody holds a lock on fd (its exclusive test lock is then ours); false with errno
// EWOULDBLOCK when someone does.
bool NobodyHolds(int fd) {
    return flock(fd, LOCK_EX | LOCK_NB) == 0;
}
} // namespace

std::string NamedObject::Path(const std::string& fileName) {
    if (fileName.empty() || fileName.find_first_of(std::string("/\0", 2)) != std::string::npos) {
        return {};
    }
    const std::string folder = RuntimeFolder();
    return folder.empty() ? std::string() : folder + fileName;
}

NamedObject::NamedObject(const std::string& fileName, bool* alreadyExisted,
                         const FirstHolder& onFirst) {
    if (alreadyExisted) {
        *alreadyExisted = false;
    }
    const std::string path = Path(fileName);
    if (path.empty()) {
        return;
    }
    const FolderGuard guard(path);
    UniqueFd fd(open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!guard.Held() || !fd.Valid()) {
        return;
    }
    const bool first = NobodyHolds(fd.Get());
    if (!first && errno != EWOULDBLOCK) {
        return;
    }
    if (first && onFirst) {
        onFirst(fd.Get());
    }
    if (LockRetrying(fd.Get(), LOCK_SH) != 0) {
        return;
    }
    if (alreadyExisted) {
        *alreadyExisted = !first;
    }
    fd_ = std::move(fd);
}

bool NamedObject::IsHeld(const std::string& fileName) {
    const std::string path = Path(fileName);
    if (path.empty()) {
        return false;
    }
    const FolderGuard guard(path);
    const UniqueFd fd(open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
    return guard.Held() && fd.Valid() && !NobodyHolds(fd.Get()) && errno == EWOULDBLOCK;
}
