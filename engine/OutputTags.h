#pragma once
// An input's tags on their way to its output, when the job's settings ask for them. They are read
// before the finished output takes its place, since that place may be the input itself, and
// written into the finished output before it is linked in at its name, so that it appears whole
// with its tags or not at all. Never fails the file: tags that cannot be read or written are left
// behind, and the output keeps the bytes it had (see tags/CopyAudioTags.h).
#include <cstdint>
#include <memory>
#include <string>

struct AudioTags;
struct ConversionSettings;

class OutputTags {
public:
    OutputTags(const std::string& input, const ConversionSettings& settings);
    ~OutputTags();
    OutputTags(const OutputTags&) = delete;
    OutputTags& operator=(const OutputTags&) = delete;

    // outputFd is the finished output, open read-write (an unnamed file serves) and the caller's.
    void WriteTo(int outputFd) const;

private:
    std::unique_ptr<AudioTags> tags_;
    uint8_t target_ = 0;
};
