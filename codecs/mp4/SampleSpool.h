#pragma once
// Planar samples kept aside in an unnamed temporary file until their count is known, then read
// back in the order they came. Blocks of BlockFrames frames are stored plane after plane.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

class SampleSpool {
public:
    static constexpr int BlockFrames = 8192;

    // planes: channels for planar formats; bytesPerSample: of one sample of one plane.
    SampleSpool(int planes, int bytesPerSample);

    bool Valid() const { return file_ != nullptr; }
    // Appends frameCount frames (at most BlockFrames; only the last block may be shorter).
    bool Append(uint8_t* const* planes, int frameCount);
    int64_t Frames() const { return frames_; }

    // Reads the blocks back from the start: each call fills planes with the next block (at most
    // BlockFrames frames each) and gives its frame count, 0 at the end, -1 on a failed read.
    bool Rewind();
    int ReadBlock(uint8_t* const* planes);

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    std::unique_ptr<std::FILE, FileCloser> file_;
    const int planes_;
    const int bytesPerSample_;
    int64_t frames_ = 0;
    int64_t readFrames_ = 0;
};
