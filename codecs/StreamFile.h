#pragma once
// A descriptor read or written at a position of its own, for the codec libraries' callbacks.
// Header only: each module compiles its own copy.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

#include "codecs/StreamCodecApi.h"

struct StreamFile {
    int fd = -1;
    uint64_t position = 0;
    bool failed = false; // a write or read failed: the stream is not whole
    int writeErrno = 0;  // of the first write refused

    uint64_t Size() const {
        struct stat status {};
        return fstat(fd, &status) == 0 ? static_cast<uint64_t>(status.st_size) : 0;
    }

    // Bytes read, 0 at the end; -1 on an error.
    long Read(void* buffer, std::size_t count) {
        for (;;) {
            const ssize_t got = ::pread(fd, buffer, count, static_cast<off_t>(position));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                failed = true;
                return -1;
            }
            position += static_cast<uint64_t>(got);
            return static_cast<long>(got);
        }
    }

    bool Write(const void* data, std::size_t count) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        while (count > 0) {
            const ssize_t put = ::pwrite(fd, bytes, count, static_cast<off_t>(position));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0) {
                failed = true;
                if (writeErrno == 0)
                    writeErrno = put < 0 ? errno : EIO;
                return false;
            }
            bytes += put;
            count -= static_cast<std::size_t>(put);
            position += static_cast<uint64_t>(put);
        }
        return true;
    }

    // What an encoder entry point returns: StreamOk, or the refused write's code, or StreamFailed
    // for a failure of the codec's own.
    int Status(bool codecOk) const {
        if (writeErrno != 0)
            return StreamWriteRefused(writeErrno);
        return codecOk && !failed ? StreamOk : StreamFailed;
    }

    // whence as for lseek; false for a position before the start.
    bool Seek(int64_t offset, int whence) {
        const int64_t base = whence == SEEK_SET   ? 0
                             : whence == SEEK_CUR ? static_cast<int64_t>(position)
                                                  : static_cast<int64_t>(Size());
        if (base + offset < 0)
            return false;
        position = static_cast<uint64_t>(base + offset);
        return true;
    }
};
