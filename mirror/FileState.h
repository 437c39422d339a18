#pragma once
// What is at a path now, symbolic links followed. A path that cannot be looked at (a loop of
// links, no permission) is not "gone": only a path that is certainly missing is.
#include <cstdint>
#include <string>

struct FileState {
    bool exists = false;
    // Something is there but could not be looked at, or is no regular file: errno, or 0.
    int error = 0;
    bool regular = false;
    int64_t size = 0;
    int64_t mtimeNs = 0;

    bool Readable() const { return exists && regular && error == 0; }
    bool Gone() const { return !exists && error == 0; }

    static FileState Of(const std::string& path);
};
