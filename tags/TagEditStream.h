#pragma once
// A TagLib stream that shows a file as TagLib's edits would leave it, without writing to it:
// writes only change the list of pieces the edited file is made of (the file's own bytes and the
// new ones TagLib wrote), and reads come from those pieces. A save that fails or is never applied
// costs nothing; FileRearrangement writes a finished list into the file.
#include <vector>

#include <taglib/tiostream.h>

#include "tags/CheckedFileStream.h"
#include "tags/FilePiece.h"

class TagEditStream : public TagLib::IOStream {
public:
    // file stays the caller's and is only read.
    explicit TagEditStream(CheckedFileStream& file);

    // True once a read of the file or an edit failed.
    bool Failed() const { return failed_ || file_.Failed(); }
    const std::vector<FilePiece>& Pieces() const { return pieces_; }

    TagLib::FileName name() const override { return file_.name(); }
    TagLib::ByteVector readBlock(unsigned long length) override;
    void writeBlock(const TagLib::ByteVector& data) override;
    void insert(const TagLib::ByteVector& data, unsigned long start = 0,
                unsigned long replace = 0) override;
    void removeBlock(unsigned long start = 0, unsigned long length = 0) override;
    bool readOnly() const override { return false; }
    bool isOpen() const override { return true; }
    void seek(long offset, Position p = Beginning) override;
    long tell() const override { return position_; }
    long length() override { return size_; }
    void truncate(long length) override;

private:
    // Replaces count bytes at `at` (both within the file) with data.
    void Replace(off_t at, off_t count, const TagLib::ByteVector& data);
    // Splits the piece that holds offset at (at most the size) so that a piece starts there;
    // returns that piece's index.
    size_t SplitAt(off_t at);
    // Adds zero bytes up to size.
    void Extend(off_t size);
    bool ReadPiece(const FilePiece& piece, off_t offset, char* data, size_t size);

    CheckedFileStream& file_;
    std::vector<FilePiece> pieces_;
    off_t size_ = 0;
    off_t position_ = 0;
    bool failed_ = false;
};
