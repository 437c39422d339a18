#pragma once
// A part of an input converted as a row of its own: one track of an album kept as one file with
// a cue sheet. A sheet's text counts places in CD frames, since the input's sample rate is known
// only once it is decoded; a FLAC's cue-sheet block counts them exactly, in its sample frames.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Cue sheet times count CD frames, 75 to the second.
inline constexpr int64_t CdFramesPerSecond = 75;

// The sample frame at a place counted perSecond to the second, in audio at rate (Hz).
inline constexpr int64_t SampleFrameAt(int64_t place, int64_t rate,
                                       int64_t perSecond = CdFramesPerSecond) {
    return place * rate / perSecond;
}

struct RowPart {
    // From the input's start; no end: to the end of the input.
    int64_t Start = 0;
    std::optional<int64_t> End;
    // The part's own tags, which go over the input's: a name and a UTF-8 value each, in order; a
    // name outside the carried fields is a free-form field.
    std::vector<std::pair<std::string, std::string>> Tags;
    // How many of Start and End make a second.
    int64_t PerSecond = CdFramesPerSecond;

    bool operator==(const RowPart&) const = default;
};
