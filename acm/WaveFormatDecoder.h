#pragma once
// Decodes a coded wave format with libavcodec: whole blocks one packet each, runs of blocks for
// the PCM-like codecs (A-law, mu-law...), and through the codec's parser where it has one and
// blocks have no fixed duration (MPEG audio in WAVE).
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "acm/FFmpegHandles.h"
#include "acm/ParsedWaveFormat.h"

class WaveFormatDecoder {
public:
    using FrameSink = std::function<void(const AVFrame&)>;

    // Null when the codec cannot be opened with this record.
    static std::unique_ptr<WaveFormatDecoder> Open(const ParsedWaveFormat& format);

    // How many of count bytes can be decoded now: whole blocks, or everything at the end.
    uint32_t Consumable(uint32_t count, bool end) const;
    // At most this many sample frames come from count bytes.
    uint64_t FramesFor(uint64_t bytes) const;
    // The bytes (whole blocks, at least one) that yield at most frames sample frames.
    uint64_t BytesFor(uint64_t frames) const;

    void Decode(const uint8_t* data, uint32_t count, const FrameSink& sink);
    // Hands out what the parser and codec hold back.
    void Drain(const FrameSink& sink);

private:
    enum class Mode { Blocks, Runs, Parser };
    WaveFormatDecoder(AvCodecContextPtr ctx, const ParsedWaveFormat& format);
    void Send(const uint8_t* data, int count, const FrameSink& sink);
    void Receive(const FrameSink& sink);
    void Parse(const uint8_t* data, uint32_t count, const FrameSink& sink);

    AvCodecContextPtr ctx_;
    AvParserPtr parser_;
    AvPacketPtr packet_;
    AvFramePtr frame_;
    std::vector<uint8_t> padded_;
    Mode mode_ = Mode::Blocks;
    uint32_t blockAlign_ = 1;
    uint32_t framesPerBlock_ = 0; // 0: not fixed
    uint32_t avgBytesPerSec_ = 0;
    uint32_t rate_ = 0;
};
