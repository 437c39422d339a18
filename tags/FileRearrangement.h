#pragma once
// Rewrites a file in place into the layout a list of pieces gives (as TagEditStream leaves it),
// with no second file, all or nothing:
// - room for a larger file is allocated before any byte of the file is overwritten, so a full
//   disk, a quota or a file size limit leaves the file as it was;
// - the file's own bytes are moved in an order that reads each before anything overwrites it,
//   and the bytes the layout drops are kept in memory first, so that a write that fails later
//   (an I/O error, or a copy-on-write file system out of room) is undone by moving everything
//   back. Only when undoing fails as well is the file left damaged.
// Memory: one chunk of the file and the dropped bytes; the new pieces are the caller's.
#include <sys/types.h>
#include <vector>

#include "tags/CheckedFileStream.h"
#include "tags/FilePiece.h"

class FileRearrangement {
public:
    // file (read-write) and pieces, whose file pieces are the file's bytes in their order, stay
    // the caller's.
    FileRearrangement(CheckedFileStream& file, const std::vector<FilePiece>& pieces);

    // True when the file now holds the layout; false when it holds what it held before (unless
    // undoing failed too, which UndoFailed() tells).
    bool Apply();
    bool UndoFailed() const { return undoFailed_; }

private:
    struct Copy {
        off_t from;
        off_t to;
        off_t size;
    };

    bool Unchanged() const;
    bool KeepDroppedBytes();
    // Makes room in memory for the moves.
    void Prepare();
    // Moves the file pieces that go towards the end, last first, or towards the start, first
    // first: either way a piece's new place only covers bytes already moved or dropped.
    bool MoveTowardsEnd();
    bool MoveTowardsStart();
    bool Move(const Copy& piece);
    bool CopyChunk(const Copy& chunk);
    bool WriteNewPieces();
    void Undo();

    CheckedFileStream& file_;
    // The file again, for the writes that undo: file_ stops writing at its first failure.
    CheckedFileStream undo_;
    const std::vector<FilePiece>& pieces_;
    // Where each piece goes.
    std::vector<off_t> at_;
    off_t oldSize_;
    off_t newSize_ = 0;
    std::vector<char> buffer_;
    // The chunks moved so far, and the one whose write failed (its bytes still in buffer_).
    std::vector<Copy> moved_;
    Copy failedChunk_{0, 0, 0};
    struct Dropped {
        off_t at;
        std::vector<char> bytes;
    };
    std::vector<Dropped> dropped_;
    bool undoFailed_ = false;
};
