#pragma once
// A TagLib stream over an open file that notices every failed read, write or resize. TagLib's
// own file stream drops those errors, so a save that ran out of room would look complete. It
// reads and writes at offsets (no seeks) and keeps the file's size, which nothing else changes
// while the stream is in use.
#include <string>
#include <sys/types.h>

#include <taglib/tiostream.h>

class CheckedFileStream : public TagLib::IOStream {
public:
    // fd stays the caller's and must be open for reading, and for writing unless readOnly.
    CheckedFileStream(int fd, std::string name, bool readOnly = false);

    int Fd() const { return fd_; }
    // True once any operation failed; later writes are then skipped.
    bool Failed() const { return failed_; }
    // Reads or writes size bytes at offset at, without allocating; false once anything failed
    // (a read past the end fails).
    bool ReadAt(off_t at, char* data, size_t size);
    bool WriteAt(off_t at, const char* data, size_t size);
    // Makes the file size bytes long with its room allocated, so that no write inside it can
    // meet a full disk or a size limit later; without room the file stays as it was.
    bool Allocate(off_t size);
    // A test seam: writes fail, as on a full disk, once this many more bytes were written.
    void FailWritesAfter(off_t bytes) { writeBudget_ = bytes; }

    TagLib::FileName name() const override { return name_.c_str(); }
    TagLib::ByteVector readBlock(unsigned long length) override;
    void writeBlock(const TagLib::ByteVector& data) override;
    void insert(const TagLib::ByteVector& data, unsigned long start = 0,
                unsigned long replace = 0) override;
    void removeBlock(unsigned long start = 0, unsigned long length = 0) override;
    bool readOnly() const override { return readOnly_; }
    bool isOpen() const override { return true; }
    void seek(long offset, Position p = Beginning) override;
    long tell() const override { return position_; }
    long length() override;
    void truncate(long length) override;

private:
    off_t Size() const { return size_; }
    ssize_t BudgetedWrite(const char* data, size_t size, off_t at);
    // Moves the bytes from `from` to the end of the file so that they start at `to`.
    void MoveTail(off_t from, off_t to, off_t end);

    int fd_;
    std::string name_;
    bool readOnly_;
    off_t size_ = 0;
    off_t position_ = 0;
    bool failed_ = false;
    off_t writeBudget_ = -1;
};
