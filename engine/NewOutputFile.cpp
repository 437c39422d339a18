#include "engine/NewOutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

NewOutputFile::NewOutputFile(const std::string& destination)
    : destination_(destination), path_(destination) {
    // Checking and creating are one step: whatever is at the destination (a file, a folder, a
    // link, dangling or not) makes it fail, so nothing is replaced or written through.
    file_.Reset(open(destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!file_.Valid()) {
        existed_ = errno == EEXIST;
        return;
    }
    const std::string link = "/proc/self/fd/" + std::to_string(file_.Get());
    if (access(link.c_str(), W_OK) == 0) {
        path_ = link;
    }
}

void NewOutputFile::Remove() {
    struct stat ours {};
    struct stat there {};
    if (file_.Valid() && fstat(file_.Get(), &ours) == 0 &&
        lstat(destination_.c_str(), &there) == 0 && ours.st_dev == there.st_dev &&
        ours.st_ino == there.st_ino) {
        unlink(destination_.c_str());
    }
    file_.Reset();
}
