#pragma once
// One open file, read or written as whole records at a chosen position. With messages on, a
// failure is also told to the user ("Disk Read Error" / "Disk Write Error", see MessageHook.h);
// reaching the end of the file is never a failure.
#include <cstddef>
#include <string>

#include "system/UniqueFd.h"

class RecordFile {
public:
    enum Access { faRead = 1, faWrite = 2, faReadWrite = faRead | faWrite };
    enum Creation { fcOpenExisting, fcCreateAlways };
    // Where a transfer starts; any other value keeps the current position.
    enum Position { fpStart = 0, fpEnd = 1, fpCurrent = 2 };

    RecordFile(std::string path, Access access, Creation creation, bool showMessages);
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    bool IsOpen() const { return fd_.Valid(); }
    // The number of bytes read: fewer than count at the end of the file or on a failure.
    std::size_t Read(void* buffer, std::size_t count, int position);
    // True when all count bytes were written.
    bool Write(const void* buffer, std::size_t count, int position);

private:
    bool Seek(int position);
    void Tell(const std::string& what, const char* caption) const;

    UniqueFd fd_;
    std::string path_;
    bool showMessages_;
};
