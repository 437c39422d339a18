#pragma once
// Owns one POSIX file descriptor and closes it when dropped.
#include <unistd.h>

#include <utility>

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other)
            Reset(std::exchange(other.fd_, -1));
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { Reset(); }

    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }

    // Closes the descriptor now; false when the close itself reported an error (delayed write
    // failures on some file systems surface only here).
    bool Close() { return Reset(); }

private:
    bool Reset(int fd = -1) {
        bool closed = true;
        if (fd_ >= 0)
            closed = ::close(fd_) == 0;
        fd_ = fd;
        return closed;
    }

    int fd_ = -1;
};
