#include "system/RecordFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <utility>

#include "system/MessageHook.h"
#include "system/SpecialFiles.h"

namespace {
constexpr const char* ReadCaption = "Disk Read Error";
constexpr const char* WriteCaption = "Disk Write Error";

// The open never waits (a FIFO without a peer, a device); only a regular file is kept open.
int OpenFlags(RecordFile::Access access, RecordFile::Creation creation) {
    int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    if (access == RecordFile::faReadWrite) {
        flags |= O_RDWR;
    } else if (access & RecordFile::faWrite) {
        flags |= O_WRONLY;
    } else {
        flags |= O_RDONLY;
    }
    if (creation == RecordFile::fcCreateAlways) {
        flags |= O_CREAT | O_TRUNC;
    }
    return flags;
}

// Anything but a regular file (a folder, a FIFO, a device) holds no records of ours: it counts as
// a file that cannot be opened, and special tells so.
UniqueFd OpenRegular(const std::string& path, int flags, bool& special) {
    UniqueFd fd(open(path.c_str(), flags, 0666));
    struct stat st {};
    special = fd.Valid() ? fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) : IsSpecialFile(path);
    const int status = fd.Valid() ? fcntl(fd.Get(), F_GETFL) : -1;
    if (special || status < 0 || fcntl(fd.Get(), F_SETFL, status & ~O_NONBLOCK) != 0) {
        return {};
    }
    return fd;
}
} // namespace

RecordFile::RecordFile(std::string path, Access access, Creation creation, bool showMessages)
    : path_(std::move(path)), showMessages_(showMessages) {
    if (path_.find('\0') == std::string::npos) {
        bool special = false;
        fd_ = OpenRegular(path_, OpenFlags(access, creation), special);
        if (special) {
            TellSpecialFile(path_, "left alone");
        }
    }
    if (!fd_.Valid()) {
        Tell("Unable to open '", (access & faWrite) ? WriteCaption : ReadCaption);
    }
}

void RecordFile::Tell(const std::string& what, const char* caption) const {
    if (showMessages_) {
        ShowInfoMessage(what + path_ + "'", caption);
    }
}

bool RecordFile::Seek(int position) {
    if (position == fpStart) {
        return lseek(fd_.Get(), 0, SEEK_SET) >= 0;
    }
    if (position == fpEnd) {
        return lseek(fd_.Get(), 0, SEEK_END) >= 0;
    }
    return true;
}

std::size_t RecordFile::Read(void* buffer, std::size_t count, int position) {
    std::size_t done = 0;
    bool failed = !IsOpen() || !Seek(position);
    auto* bytes = static_cast<char*>(buffer);
    while (!failed && done < count) {
        const ssize_t n = read(fd_.Get(), bytes + done, count - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n == 0) {
            break; // end of file: not an error
        } else if (errno != EINTR) {
            failed = true;
        }
    }
    if (failed) {
        Tell("Unable to read from '", ReadCaption);
    }
    return done;
}

bool RecordFile::Write(const void* buffer, std::size_t count, int position) {
    std::size_t done = 0;
    bool failed = !IsOpen() || !Seek(position);
    const auto* bytes = static_cast<const char*>(buffer);
    while (!failed && done < count) {
        const ssize_t n = write(fd_.Get(), bytes + done, count - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n == 0 || errno != EINTR) {
            failed = true;
        }
    }
    if (failed) {
        Tell("Unable to write to '", WriteCaption);
    }
    return !failed;
}
