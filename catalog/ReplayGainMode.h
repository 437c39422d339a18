#pragma once
// Whether a job measures the loudness of what it converts and tags each output with its
// ReplayGain: not at all, per file (track), or per file and per album.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

enum class ReplayGainMode : uint8_t { None, Track, Album };

// Each mode's word, in the order of the modes: on the command line, and in the settings a worker
// process is given (and so in what says which settings made an output: keep them as they are).
inline constexpr std::array<std::string_view, 3> ReplayGainWords = {"none", "track", "album"};

inline std::string_view WordOf(ReplayGainMode mode) {
    return ReplayGainWords[static_cast<std::size_t>(mode)];
}

// The mode of that word (in lower case); nothing for another word.
inline std::optional<ReplayGainMode> ReplayGainModeOf(std::string_view word) {
    for (std::size_t i = 0; i < ReplayGainWords.size(); ++i) {
        if (ReplayGainWords[i] == word) {
            return static_cast<ReplayGainMode>(i);
        }
    }
    return std::nullopt;
}
