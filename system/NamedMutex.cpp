#include "system/NamedMutex.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

#include "system/NamedObject.h"

NamedMutex::NamedMutex(const std::string& name) {
    const std::string path = NamedObject::Path("mutex." + name);
    if (!path.empty()) {
        fd_.Reset(open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    }
}

void NamedMutex::Lock() {
    if (held_) {
        return;
    }
    if (fd_.Valid()) {
        while (flock(fd_.Get(), LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    held_ = true;
}

void NamedMutex::Unlock() {
    if (!held_) {
        return;
    }
    if (fd_.Valid()) {
        flock(fd_.Get(), LOCK_UN);
    }
    held_ = false;
}
