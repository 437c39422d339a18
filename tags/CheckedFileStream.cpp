#include "tags/CheckedFileStream.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr off_t MoveChunkBytes = 1 << 20;
} // namespace

CheckedFileStream::CheckedFileStream(int fd, std::string name, bool readOnly)
    : fd_(fd), name_(std::move(name)), readOnly_(readOnly) {
    struct stat status {};
    failed_ = fstat(fd_, &status) != 0;
    size_ = failed_ ? 0 : status.st_size;
}

bool CheckedFileStream::ReadAt(off_t at, char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = pread(fd_, data, size, at);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            failed_ = true;
            return false;
        }
        data += n, size -= static_cast<size_t>(n), at += n;
    }
    return true;
}

bool CheckedFileStream::WriteAt(off_t at, const char* data, size_t size) {
    failed_ = failed_ || readOnly_;
    while (size > 0 && !failed_) {
        const ssize_t n =
            writeBudget_ < 0 ? pwrite(fd_, data, size, at) : BudgetedWrite(data, size, at);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            failed_ = true;
        } else {
            data += n, size -= static_cast<size_t>(n), at += n;
            size_ = std::max(size_, at);
        }
    }
    return !failed_;
}

ssize_t CheckedFileStream::BudgetedWrite(const char* data, size_t size, off_t at) {
    const auto n = static_cast<size_t>(std::min<off_t>(writeBudget_, static_cast<off_t>(size)));
    const ssize_t written = n == 0 ? 0 : pwrite(fd_, data, n, at);
    writeBudget_ -= std::max<ssize_t>(written, 0);
    return written;
}

bool CheckedFileStream::Allocate(off_t size) {
    const off_t old = size_;
    if (failed_ || readOnly_ || size <= old) {
        return !failed_ && !readOnly_;
    }
    if (posix_fallocate(fd_, old, size - old) != 0) {
        [[maybe_unused]] const int freed = ftruncate(fd_, old); // what was allocated before
        failed_ = true;
        return false;
    }
    size_ = size;
    return true;
}

TagLib::ByteVector CheckedFileStream::readBlock(unsigned long length) {
    const auto available = static_cast<uint64_t>(std::max<off_t>(Size() - position_, 0));
    const auto count = static_cast<unsigned int>(
        std::min<uint64_t>({available, length, std::numeric_limits<unsigned int>::max()}));
    TagLib::ByteVector data(count);
    if (count > 0 && !ReadAt(position_, data.data(), count)) {
        return {};
    }
    position_ += count;
    return data;
}

void CheckedFileStream::writeBlock(const TagLib::ByteVector& data) {
    if (WriteAt(position_, data.data(), data.size())) {
        position_ += data.size();
    }
}

void CheckedFileStream::MoveTail(off_t from, off_t to, off_t end) {
    std::vector<char> buffer(static_cast<size_t>(std::min(MoveChunkBytes, end - from)));
    const off_t count = end - from;
    // Growing moves the last chunk first, shrinking the first, so nothing is overwritten unread.
    for (off_t done = 0; done < count && !failed_;) {
        const off_t n = std::min(MoveChunkBytes, count - done);
        const off_t offset = to > from ? count - done - n : done;
        const auto size = static_cast<size_t>(n);
        if (ReadAt(from + offset, buffer.data(), size)) {
            WriteAt(to + offset, buffer.data(), size);
        }
        done += n;
    }
}

void CheckedFileStream::insert(const TagLib::ByteVector& data, unsigned long start,
                               unsigned long replace) {
    const auto size = static_cast<unsigned long>(Size());
    const unsigned long first = std::min(start, size);
    const auto at = static_cast<off_t>(first);
    const auto end = static_cast<off_t>(size);
    const off_t tailFrom = at + static_cast<off_t>(std::min(replace, size - first));
    const off_t tailTo = at + data.size();
    if (failed_) {
        return;
    }
    if (tailFrom != tailTo && tailFrom < end) {
        MoveTail(tailFrom, tailTo, end);
    }
    if (WriteAt(at, data.data(), data.size()) && tailTo < tailFrom) {
        truncate(static_cast<long>(end - (tailFrom - tailTo)));
    }
    position_ = tailTo;
}

void CheckedFileStream::removeBlock(unsigned long start, unsigned long length) {
    insert(TagLib::ByteVector(), start, length);
}

void CheckedFileStream::seek(long offset, Position p) {
    off_t base = 0;
    if (p == Current) {
        base = position_;
    } else if (p == End) {
        base = Size();
    }
    if (base + offset >= 0) {
        position_ = base + offset;
    }
}

long CheckedFileStream::length() {
    return static_cast<long>(Size());
}

void CheckedFileStream::truncate(long length) {
    if (failed_ || readOnly_ || ftruncate(fd_, length) != 0) {
        failed_ = true;
    } else {
        size_ = length;
    }
}
