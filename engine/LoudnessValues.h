#pragma once
// The names of the row values a loudness observer puts: the integrated loudness of the whole
// input in LUFS (minus infinity for silence) and its largest sample peak over all channels,
// linear (1.0 = full scale).
#include <cmath>
#include <string_view>

#include "engine/RowValues.h"

inline constexpr std::string_view LoudnessValue = "loudness";
inline constexpr std::string_view PeakValue = "peak";

// True when the row was measured and had no loudness (silent, or too short for one measuring
// block): its output has no track gain, which a front end tells as a notice.
inline bool HadNoLoudness(const RowValues& values) {
    const auto loudness = values.find(LoudnessValue);
    return loudness != values.end() && !std::isfinite(loudness->second);
}

// What an album's rows get once all are measured, beside their own.
inline constexpr std::string_view AlbumLoudnessValue = "album loudness";
inline constexpr std::string_view AlbumPeakValue = "album peak";
