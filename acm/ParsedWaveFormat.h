#pragma once
// A wave format record checked and decoded for a wave format conversion: either linear
// samples (PCM of any container size, IEEE float, or WAVE_FORMAT_EXTENSIBLE holding either) that
// libswresample handles, or a coded format that a libavcodec decoder or encoder handles.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

extern "C" {
#include <libavcodec/codec_id.h>
#include <libavutil/samplefmt.h>
}

#include "engine/WaveFormat.h"

struct ParsedWaveFormat {
    WAVEFORMATEX record{};      // the 18-byte head, cbSize as given
    std::vector<uint8_t> extra; // the cbSize bytes that followed it
    uint16_t tag = 0;           // the effective tag (inside WAVE_FORMAT_EXTENSIBLE too)
    bool linear = false;
    // Linear formats: the sample layout of one channel in a frame.
    AVSampleFormat sampleFormat = AV_SAMPLE_FMT_NONE;
    uint16_t containerBytes = 0; // 1 to 4, or 8; 3 means packed 24-bit, handled outside swr
    // Coded formats.
    AVCodecID codec = AV_CODEC_ID_NONE;

    uint16_t Channels() const { return record.nChannels; }
    uint32_t Rate() const { return record.nSamplesPerSec; }
    uint32_t BlockAlign() const { return record.nBlockAlign; }
    bool SameShape(const ParsedWaveFormat& other) const {
        return Channels() == other.Channels() && Rate() == other.Rate();
    }
};

inline constexpr uint16_t kMaxWaveChannels = 32;

// Reads a record of byteCount bytes (the 18-byte head, or 16 bytes meaning cbSize 0, and what
// follows). Nothing when the record is malformed or names a format no decoder handles; malformed
// (optional) tells the two apart: true when the record contradicts itself (sizes, rates, block
// layout), false when it is sound but nothing here reads its kind.
std::optional<ParsedWaveFormat> ParseWaveFormat(const void* record, size_t byteCount,
                                                bool* malformed = nullptr);

// The codec that reads a WAVE format tag, from FFmpeg's RIFF tag table; AV_CODEC_ID_NONE if none.
AVCodecID CodecForWaveTag(uint16_t tag);
