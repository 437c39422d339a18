#include "tags/TagEditStream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {
// What a write past the end or a truncation may add at most (TagLib adds nothing of the kind
// to the formats we write; this only bounds a mistake).
constexpr off_t MaxGapBytes = 1 << 20;
} // namespace

TagEditStream::TagEditStream(CheckedFileStream& file) : file_(file), size_(file.length()) {
    if (size_ > 0) {
        pieces_.push_back({size_, 0, {}});
    }
}

size_t TagEditStream::SplitAt(off_t at) {
    off_t start = 0;
    for (size_t i = 0; i < pieces_.size(); ++i) {
        FilePiece& piece = pieces_[i];
        if (at == start) {
            return i;
        }
        if (at < start + piece.size) {
            FilePiece tail = piece;
            piece.size = at - start;
            tail.from += piece.size;
            tail.size -= piece.size;
            pieces_.insert(pieces_.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(tail));
            return i + 1;
        }
        start += piece.size;
    }
    return pieces_.size();
}

void TagEditStream::Replace(off_t at, off_t count, const TagLib::ByteVector& data) {
    const size_t first = SplitAt(at);
    const size_t last = SplitAt(at + count);
    const auto begin = pieces_.begin();
    pieces_.erase(begin + static_cast<std::ptrdiff_t>(first),
                  begin + static_cast<std::ptrdiff_t>(last));
    if (!data.isEmpty()) {
        pieces_.insert(pieces_.begin() + static_cast<std::ptrdiff_t>(first),
                       FilePiece{data.size(), 0, data});
    }
    size_ += data.size() - count;
}

bool TagEditStream::ReadPiece(const FilePiece& piece, off_t offset, char* data, size_t size) {
    if (piece.InFile()) {
        return file_.ReadAt(piece.from + offset, data, size);
    }
    std::memcpy(data, piece.bytes.data() + piece.from + offset, size);
    return true;
}

TagLib::ByteVector TagEditStream::readBlock(unsigned long length) {
    const auto available = static_cast<uint64_t>(std::max<off_t>(size_ - position_, 0));
    const auto count = static_cast<unsigned int>(
        std::min<uint64_t>({available, length, std::numeric_limits<unsigned int>::max()}));
    TagLib::ByteVector data(count);
    off_t start = 0;
    unsigned int done = 0;
    for (const FilePiece& piece : pieces_) {
        const off_t at = position_ + done;
        if (done < count && at < start + piece.size) {
            const auto n =
                static_cast<unsigned int>(std::min<off_t>(start + piece.size - at, count - done));
            if (!ReadPiece(piece, at - start, data.data() + done, n)) {
                return {};
            }
            done += n;
        }
        start += piece.size;
    }
    position_ += count;
    return data;
}

void TagEditStream::Extend(off_t size) {
    if (size - size_ > MaxGapBytes) {
        failed_ = true;
    } else if (size > size_) {
        Replace(size_, 0, TagLib::ByteVector(static_cast<unsigned int>(size - size_), '\0'));
    }
}

void TagEditStream::writeBlock(const TagLib::ByteVector& data) {
    Extend(position_);
    if (!failed_) {
        Replace(position_, std::min<off_t>(data.size(), size_ - position_), data);
        position_ += data.size();
    }
}

void TagEditStream::insert(const TagLib::ByteVector& data, unsigned long start,
                           unsigned long replace) {
    const auto at = static_cast<off_t>(std::min<uint64_t>(start, size_));
    Replace(at, static_cast<off_t>(std::min<uint64_t>(replace, size_ - at)), data);
    position_ = at + data.size();
}

void TagEditStream::removeBlock(unsigned long start, unsigned long length) {
    insert(TagLib::ByteVector(), start, length);
}

void TagEditStream::seek(long offset, Position p) {
    off_t base = 0;
    if (p == Current) {
        base = position_;
    } else if (p == End) {
        base = size_;
    }
    if (base + offset >= 0) {
        position_ = base + offset;
    }
}

void TagEditStream::truncate(long length) {
    if (length < 0) {
        failed_ = true;
    } else if (length < size_) {
        Replace(length, size_ - length, {});
    } else {
        Extend(length);
    }
}
