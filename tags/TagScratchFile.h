#pragma once
// A copy of a finished output, made beside it under a unique "BRC…" name, that takes the tags
// and then replaces the output in one rename. Until then the output is never touched, so a save
// that fails halfway costs the tags, not the audio. Removed on destruction unless it replaced
// the output.
#include <string>
#include <sys/types.h>

#include "system/UniqueFd.h"

class TagScratchFile {
public:
    // output is the finished output's path, outputFd that file open for reading.
    TagScratchFile(const std::string& output, int outputFd);
    ~TagScratchFile();
    TagScratchFile(const TagScratchFile&) = delete;
    TagScratchFile& operator=(const TagScratchFile&) = delete;

    // True when the copy is complete and open for reading and writing.
    bool Valid() const { return valid_; }
    int Fd() const { return file_.Get(); }
    const std::string& Name() const { return name_; }

    // Gives the copy the output's permissions, closes it and renames it over the output.
    bool ReplaceOutput();

private:
    bool CopyFrom(int source, off_t size);

    std::string output_;
    std::string name_;
    UniqueFd file_;
    mode_t mode_ = 0;
    bool valid_ = false;
};
