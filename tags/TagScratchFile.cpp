#include "tags/TagScratchFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

TagScratchFile::TagScratchFile(const std::string& output, int outputFd) : output_(output) {
    struct stat status {};
    if (fstat(outputFd, &status) != 0 || !S_ISREG(status.st_mode)) {
        return;
    }
    mode_ = status.st_mode & 07777;
    std::string name = (std::filesystem::path(output).parent_path() / "BRCXXXXXX.tmp").string();
    file_.Reset(mkostemps(name.data(), 4, O_CLOEXEC));
    if (!file_.Valid()) {
        return;
    }
    name_ = std::move(name);
    valid_ = CopyFrom(outputFd, status.st_size);
}

TagScratchFile::~TagScratchFile() {
    if (!name_.empty()) {
        unlink(name_.c_str());
    }
}

bool TagScratchFile::CopyFrom(int source, off_t size) {
    off_t offset = 0;
    for (off_t left = size; left > 0;) {
        const ssize_t n = sendfile(file_.Get(), source, &offset, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        left -= n;
    }
    return true;
}

bool TagScratchFile::ReplaceOutput() {
    if (!valid_ || fchmod(file_.Get(), mode_) != 0 || !file_.Close() ||
        std::rename(name_.c_str(), output_.c_str()) != 0) {
        return false;
    }
    name_.clear();
    return true;
}
