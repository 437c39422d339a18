#pragma once
// The choices of a conversion job: its target format and the values of its encoder options. Each
// front end builds one value for a job; it does not change while the job runs.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/OptionValues.h"
#include "catalog/ReplayGainMode.h"

// The number of the format a new user starts with, and what a missing or unknown stored choice
// falls back to: the first of the formats (FormatTable.h).
inline constexpr uint8_t DefaultTargetFormat = 0;

inline constexpr std::size_t WaveOutputFormatSize = 5096;

// The pictures an input's folder may hold as the cover of its albums, in the order they are
// looked for: the names the players and rippers most often write.
inline constexpr std::array<std::string_view, 5> DefaultCoverFiles = {
    "cover.jpg", "folder.jpg", "front.jpg", "cover.png", "folder.png"};

struct ConversionSettings {
    // A FormatInfo::Number.
    uint8_t TargetFormat = DefaultTargetFormat;
    // The format chosen for WAVE outputs: a WAVEFORMATEX followed by its cbSize extra bytes.
    std::array<uint8_t, WaveOutputFormatSize> WaveOutputFormat{};
    OptionValues Options;
    // Carry each input's tags and pictures over to its output.
    bool CopyTags = true;
    // With CopyTags: a front cover larger than this many pixels on a side is scaled down to fit;
    // 0 carries it as it is.
    uint32_t CoverSize = 0;
    // With CopyTags: the names (in any letter case) of the picture in an input's folder that
    // becomes its front cover when it has none, the first found; empty: none.
    std::vector<std::string> CoverFiles;
    // Measure each input's loudness as it is converted and tag its output with the gain.
    ReplayGainMode ReplayGain = ReplayGainMode::None;
    // Decode each output again before it takes its name, and fail the row when it does not hold
    // what was meant.
    bool Verify = false;
};
