#include "tags/FileRearrangement.h"

#include <algorithm>

namespace {
constexpr off_t ChunkBytes = 1 << 20;
} // namespace

FileRearrangement::FileRearrangement(CheckedFileStream& file, const std::vector<FilePiece>& pieces)
    : file_(file), undo_(file.Fd(), file.name()), pieces_(pieces), oldSize_(file.length()) {
    for (const FilePiece& piece : pieces_) {
        at_.push_back(newSize_);
        newSize_ += piece.size;
    }
}

bool FileRearrangement::Apply() {
    if (Unchanged()) {
        return true;
    }
    // Whatever allocates memory comes first: an exception never stops the writes halfway.
    Prepare();
    if (!KeepDroppedBytes() || !file_.Allocate(newSize_)) {
        return false; // nothing was written
    }
    if (MoveTowardsEnd() && MoveTowardsStart() && WriteNewPieces()) {
        if (newSize_ < oldSize_) {
            file_.truncate(static_cast<long>(newSize_));
        }
        if (!file_.Failed()) {
            return true;
        }
    }
    Undo();
    return false;
}

bool FileRearrangement::Unchanged() const {
    return newSize_ == oldSize_ &&
           (pieces_.empty() ||
            (pieces_.size() == 1 && pieces_[0].InFile() && pieces_[0].from == 0));
}

bool FileRearrangement::KeepDroppedBytes() {
    off_t next = 0; // the first byte no file piece before has kept
    const auto keep = [&](off_t end) {
        if (next < end) {
            Dropped gap{next, std::vector<char>(static_cast<size_t>(end - next))};
            if (!file_.ReadAt(gap.at, gap.bytes.data(), gap.bytes.size())) {
                return false;
            }
            dropped_.push_back(std::move(gap));
        }
        return true;
    };
    for (const FilePiece& piece : pieces_) {
        if (piece.InFile()) {
            if (!keep(piece.from)) {
                return false;
            }
            next = piece.from + piece.size;
        }
    }
    return keep(oldSize_);
}

void FileRearrangement::Prepare() {
    size_t chunks = 0;
    off_t largest = 0;
    for (size_t i = 0; i < pieces_.size(); ++i) {
        if (pieces_[i].InFile() && at_[i] != pieces_[i].from) {
            chunks += static_cast<size_t>((pieces_[i].size + ChunkBytes - 1) / ChunkBytes);
            largest = std::max(largest, std::min(pieces_[i].size, ChunkBytes));
        }
    }
    moved_.reserve(chunks);
    buffer_.resize(static_cast<size_t>(largest));
}

bool FileRearrangement::MoveTowardsEnd() {
    for (size_t i = pieces_.size(); i-- > 0;) {
        const FilePiece& piece = pieces_[i];
        if (piece.InFile() && at_[i] > piece.from && !Move({piece.from, at_[i], piece.size})) {
            return false;
        }
    }
    return true;
}

bool FileRearrangement::MoveTowardsStart() {
    for (size_t i = 0; i < pieces_.size(); ++i) {
        const FilePiece& piece = pieces_[i];
        if (piece.InFile() && at_[i] < piece.from && !Move({piece.from, at_[i], piece.size})) {
            return false;
        }
    }
    return true;
}

bool FileRearrangement::Move(const Copy& piece) {
    // Towards the end the last chunk goes first, towards the start the first, so that no chunk
    // lands on bytes of the piece not yet read.
    const bool backwards = piece.to > piece.from;
    for (off_t done = 0; done < piece.size;) {
        const off_t n = std::min(ChunkBytes, piece.size - done);
        const off_t offset = backwards ? piece.size - done - n : done;
        if (!CopyChunk({piece.from + offset, piece.to + offset, n})) {
            return false;
        }
        done += n;
    }
    return true;
}

bool FileRearrangement::CopyChunk(const Copy& chunk) {
    const auto size = static_cast<size_t>(chunk.size);
    if (!file_.ReadAt(chunk.from, buffer_.data(), size)) {
        return false;
    }
    if (!file_.WriteAt(chunk.to, buffer_.data(), size)) {
        failedChunk_ = chunk;
        return false;
    }
    moved_.push_back(chunk);
    return true;
}

bool FileRearrangement::WriteNewPieces() {
    for (size_t i = 0; i < pieces_.size(); ++i) {
        const FilePiece& piece = pieces_[i];
        if (!piece.InFile() && !file_.WriteAt(at_[i], piece.bytes.data() + piece.from,
                                              static_cast<size_t>(piece.size))) {
            return false;
        }
    }
    return true;
}

// Each chunk is moved back in the reverse order, which again reads each byte before anything
// overwrites it; the chunk whose write failed goes back from the buffer. What the new pieces
// covered is then either moved back or dropped bytes, which are rewritten.
void FileRearrangement::Undo() {
    if (failedChunk_.size > 0) {
        undo_.WriteAt(failedChunk_.from, buffer_.data(), static_cast<size_t>(failedChunk_.size));
    }
    for (auto chunk = moved_.rbegin(); chunk != moved_.rend(); ++chunk) {
        const auto size = static_cast<size_t>(chunk->size);
        if (undo_.ReadAt(chunk->to, buffer_.data(), size)) {
            undo_.WriteAt(chunk->from, buffer_.data(), size);
        }
    }
    for (const Dropped& gap : dropped_) {
        undo_.WriteAt(gap.at, gap.bytes.data(), gap.bytes.size());
    }
    undo_.truncate(static_cast<long>(oldSize_));
    undoFailed_ = undo_.Failed();
}
