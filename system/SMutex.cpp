#include "system/SMutex.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

#include "system/SNamedObject.h"

SMutex::SMutex(const std::string& name) {
    const std::string path = SNamedObject::Path("mutex." + name);
    if (!path.empty()) {
        fd_.Reset(open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    }
}

void SMutex::Lock() {
    if (held_) {
        return;
    }
    if (fd_.Valid()) {
        while (flock(fd_.Get(), LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    held_ = true;
}

void SMutex::Unlock() {
    if (!held_) {
        return;
    }
    if (fd_.Valid()) {
        flock(fd_.Get(), LOCK_UN);
    }
    held_ = false;
}
