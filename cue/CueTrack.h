#pragma once
// One track a cue sheet plans: where in which audio file it lies, and the tags it gets.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/RowPart.h"
#include "tags/AudioTags.h"

struct CueTrack {
    std::string audioPath;
    // 0 for the audio before track 1 that becomes a track of its own.
    unsigned number = 0;
    // Counted perSecond to the second from the start of audioPath; no end means to the end of
    // the audio.
    int64_t start = 0;
    std::optional<int64_t> end;
    AudioTags tags;
    int64_t perSecond = CdFramesPerSecond;

    // The same places in sample frames of audio at rate (Hz).
    int64_t StartFrame(int64_t rate) const { return SampleFrameAt(start, rate, perSecond); }
    std::optional<int64_t> EndFrame(int64_t rate) const {
        if (!end) {
            return std::nullopt;
        }
        return SampleFrameAt(*end, rate, perSecond);
    }
    // The row part that converts it, its tags as name and UTF-8 value pairs.
    RowPart Part() const;
};
