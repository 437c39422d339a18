#pragma once
// An input's tags on their way to its output, when the job's settings ask for them. They are read
// before the finished output takes its place, since that place may be the input itself, and
// written once it is there, so an old output is replaced by the whole new file in one step.
// Never fails the file: tags that cannot be read or written are left behind.
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

    void WriteTo(const std::string& output) const;
    void WriteTo(int outputFd) const;

private:
    std::unique_ptr<AudioTags> tags_;
    uint8_t target_ = 0;
};
