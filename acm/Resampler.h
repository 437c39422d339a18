#pragma once
// Sample rate, channel count and sample format conversion over libswresample, at the quality
// chosen in Resampler.cpp. Mono to stereo keeps the level.
#include <cstdint>
#include <memory>
#include <vector>

#include "acm/FFmpegHandles.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

struct SampleShape {
    AVSampleFormat format = AV_SAMPLE_FMT_NONE;
    int channels = 0;
    int rate = 0;
};

class Resampler {
public:
    // Null when libswresample refuses the pair.
    static std::unique_ptr<Resampler> Create(const SampleShape& in, const SampleShape& out);
    // Layouts: the default one for each channel count unless given.
    static std::unique_ptr<Resampler> Create(const SampleShape& in, const AVChannelLayout& inLayout,
                                             const SampleShape& out);

    // Converts count input frames (null: drain what the filter holds); the result is in Output().
    // The whole stream comes out at the length its duration gives at the new rate, rounded.
    int Convert(const uint8_t* const* in, int count);
    const uint8_t* const* Output() const { return output_.data(); }
    // At most this many output frames for count more input frames.
    int64_t MaxOutput(int64_t count) const;
    const SampleShape& In() const { return in_; }

private:
    Resampler(SwrPtr swr, const SampleShape& in, const SampleShape& out);
    bool Reserve(int frames);

    SwrPtr swr_;
    SampleShape in_;
    SampleShape out_;
    std::vector<uint8_t*> output_;
    std::unique_ptr<uint8_t, AvFree> storage_;
    int capacity_ = 0;
    int64_t taken_ = 0;   // input frames so far
    int64_t given_ = 0;   // output frames so far
    bool padded_ = false; // silence went in after the input, for the drain
};
