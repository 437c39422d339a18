#pragma once
// What the codec modules' readers over FFmpeg's decoders share: decoded audio, in whatever sample
// format, rate and channel layout the decoder gives it, converted over libswresample into packed
// samples of one format, rate and layout, and at the end what the resampler still holds. The
// conversion is libswresample's default: its own resampler, its own matrix for another channel
// count. The reader decides which format it delivers and when the input changed shape.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codecs/ffmpeg/FfmpegHandles.h"

class FfmpegSampleConverter {
public:
    FfmpegSampleConverter() = default;
    FfmpegSampleConverter(const FfmpegSampleConverter&) = delete;
    FfmpegSampleConverter& operator=(const FfmpegSampleConverter&) = delete;

    // Converts from in to out, out being a packed (interleaved) format. The conversion set up
    // before, with whatever it still held, gives way only to one that libswresample accepts;
    // false when it refuses the pair.
    bool Open(const AVChannelLayout& inLayout, AVSampleFormat inFormat, int inRate,
              const AVChannelLayout& outLayout, AVSampleFormat outFormat, int outRate);
    // Open for frames shaped like frame: a layout of unspecified order is read as the default
    // layout for its channel count.
    bool OpenFor(const AVFrame& frame, const AVChannelLayout& outLayout, AVSampleFormat outFormat,
                 int outRate);
    bool IsOpen() const { return resampler_ != nullptr; }
    // Whether it is open for input of frame's sample format, rate and channel layout as the frame
    // states them.
    bool Takes(const AVFrame& frame) const;

    // Converts count sample frames of input, one plane per channel for a planar input format,
    // into Output(): the number of sample frames converted (0 when libswresample expects none
    // yet), negative when the conversion failed or nothing is open.
    int Convert(const uint8_t** input, int count);
    int Convert(const AVFrame& frame) {
        return Convert(const_cast<const uint8_t**>(frame.extended_data), frame.nb_samples);
    }
    // Converts what the resampler still holds: its delay and the samples it was not given room
    // for.
    int Flush() { return Convert(nullptr, 0); }

    // The packed samples of the last conversion, for as many frames as it returned.
    const uint8_t* Output() const { return output_.data(); }
    size_t FrameBytes() const { return frameBytes_; }

private:
    bool Configure(const AVChannelLayout& inLayout, AVSampleFormat inFormat, int inRate,
                   const AVChannelLayout& outLayout, AVSampleFormat outFormat, int outRate,
                   const AVChannelLayout& statedLayout);

    SwrPtr resampler_;
    size_t frameBytes_ = 0;
    // The input it was opened for, its layout as stated before a default was put in.
    AVSampleFormat inFormat_ = AV_SAMPLE_FMT_NONE;
    int inRate_ = 0;
    ChannelLayout inLayout_;
    std::vector<uint8_t> output_;
};
