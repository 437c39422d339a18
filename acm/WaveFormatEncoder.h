#pragma once
// Encodes PCM into a writable coded wave format with libavcodec: A-law, mu-law, IMA ADPCM,
// Microsoft ADPCM and GSM 6.10 (where the installed FFmpeg has libgsm).
#include <cstdint>
#include <memory>
#include <vector>

#include "acm/FFmpegHandles.h"

struct WaveFormatEncoderParams {
    uint16_t tag = 0;
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint32_t blockAlign = 0; // wanted block size; ADPCM sizes are powers of two from 32 to 8192
};

class WaveFormatEncoder {
public:
    // Null when the tag is not writable or the encoder refuses the parameters.
    static std::unique_ptr<WaveFormatEncoder> Open(const WaveFormatEncoderParams& params);
    // The standard block size of a tag at a rate and channel count.
    static uint32_t StandardBlockAlign(uint16_t tag, uint16_t channels, uint32_t rate);

    AVSampleFormat InputFormat() const { return ctx_->sample_fmt; }
    // Sample frames per coded block; 0 for the sample-by-sample codecs.
    int FrameSize() const { return ctx_->frame_size; }
    uint32_t BlockAlign() const { return static_cast<uint32_t>(ctx_->block_align); }
    uint16_t BitsPerSample() const { return static_cast<uint16_t>(ctx_->bits_per_coded_sample); }
    // The cbSize extra bytes other programs expect after the record.
    std::vector<uint8_t> Extra() const;

    // Coded bytes for frames sample frames, the last block padded; and the reverse, whole blocks.
    uint64_t BytesFor(uint64_t frames) const;
    uint64_t FramesFor(uint64_t bytes) const;

    // Encodes count frames (a multiple of FrameSize() unless last); a short last block is padded
    // with silence. Coded bytes are appended to out.
    void Encode(const uint8_t* const* planes, int count, std::vector<uint8_t>& out);
    void Finish(std::vector<uint8_t>& out);

private:
    WaveFormatEncoder(AvCodecContextPtr ctx, uint16_t tag);
    void Receive(std::vector<uint8_t>& out);

    AvCodecContextPtr ctx_;
    AvFramePtr frame_;
    AvPacketPtr packet_;
    uint16_t tag_;
};
