#pragma once
// The one process-wide settings record of a conversion job.
#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "engine/ConversionError.h"

enum TargetFormat : uint8_t { tfWave = 0, tfMp3 = 1, tfWMA = 2 };
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
    // Carry each input's tags and front cover over to its output.
    bool CopyTags = true;
    // The path the next sink creates: the final output, or a temporary file beside it.
    std::string OutputPath;
    // Per-file flags; the WMA reader's thread may set them, the worker reads them afterwards.
    std::atomic<bool> WriteError = false;
    std::atomic<bool> ProtectedInput = false;
    // A failure found after the source opened (its decoder gave up, or has no codec for the
    // content): the worker reports it with ConversionErrorLine, as if opening had failed.
    std::atomic<ConversionError> InputError = ConversionError::ceNone;
};

// The single instance, alive for the whole process.
ConversionSettings& Settings();
