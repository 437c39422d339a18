#pragma once
// Small text files read whole and replaced in one step.
#include <sys/types.h>

#include <string>

struct FileText {
    // Something is at the path, a symbolic link to nothing included.
    bool exists = false;
    std::string text;
    // Set when the file exists but could not be read.
    std::string problem;
    // Set, saying what it is, when something other than a regular file is there (a FIFO, a
    // device, a folder, a symbolic link to nothing): it is never read, replaced or removed.
    std::string notAFile;
};

// Reads the file whole; never waits on a FIFO or a device.
FileText ReadFileText(const std::string& path);

enum class WriteResult { Written, Unchanged, Failed };

// Gives the file at path this text and mode, creating missing folders. A file that has both
// already is not touched. Otherwise a temporary file beside it is written and renamed over it,
// so a reader sees the old or the new text, never part of one; a symbolic link is followed, so
// the file it points to is replaced and the link stays. Something other than a regular file (a
// symbolic link to nothing among them) is never replaced. Failed with the reason in problem.
WriteResult ReplaceFileText(const std::string& path, const std::string& text, mode_t mode,
                            std::string& problem);
