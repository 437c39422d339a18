#pragma once
// The choices of a conversion job: its target format and the values of its encoder options. Each
// front end builds one value for a job; it does not change while the job runs.
#include <array>
#include <cstdint>

#include "catalog/OptionValues.h"

// The number of the format a new user starts with, and what a missing or unknown stored choice
// falls back to: the first of the formats (FormatTable.h).
inline constexpr uint8_t DefaultTargetFormat = 0;

inline constexpr std::size_t WaveOutputFormatSize = 5096;

struct ConversionSettings {
    // A FormatInfo::Number.
    uint8_t TargetFormat = DefaultTargetFormat;
    // The format chosen for WAVE outputs: a WAVEFORMATEX followed by its cbSize extra bytes.
    std::array<uint8_t, WaveOutputFormatSize> WaveOutputFormat{};
    OptionValues Options;
    // Carry each input's tags and pictures over to its output.
    bool CopyTags = true;
};
