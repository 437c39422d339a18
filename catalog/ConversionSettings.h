#pragma once
// The choices of a conversion job: its target format and the options of each format. Each front
// end builds one value for a job; it does not change while the job runs.
#include <array>
#include <cstdint>
#include <string>

enum TargetFormat : uint8_t {
    tfWave = 0,
    tfMp3 = 1,
    tfWMA = 2,
    tfFlac = 3,
    tfOpus = 4,
    tfVorbis = 5,
    tfAac = 6,
    tfAlac = 7,
};
// What a new user starts with, and what a missing or unknown stored choice falls back to.
inline constexpr TargetFormat DefaultTargetFormat = tfWave;

inline constexpr std::size_t WaveOutputFormatSize = 5096;

struct ConversionSettings {
    uint8_t TargetFormat = DefaultTargetFormat;
    int32_t Mp3SampleRate = 44100;
    bool Mp3Stereo = true;
    int32_t Mp3BitRate = 128;
    int32_t WmaBitRate = 160;
    int32_t WmaSampleRate = 44100;
    int32_t WmaChannels = 2;
    // A WAVEFORMATEX followed by its cbSize extra bytes.
    std::array<uint8_t, WaveOutputFormatSize> WaveOutputFormat{};
    // The formats Linux users keep. Their channels and sample rate follow the input unless
    // these say otherwise (0: as the input; Opus always encodes at 48 kHz).
    int32_t FlacCompressionLevel = 5; // 0..8
    int32_t OpusBitRate = 128;        // kbit/s, 32..256
    int32_t VorbisQuality = 5;        // -1..10
    int32_t AacBitRate = 192;         // kbit/s, 64..320
    int32_t OutputChannels = 0;
    int32_t OutputSampleRate = 0;
    // Carry each input's tags and pictures over to its output.
    bool CopyTags = true;
};
