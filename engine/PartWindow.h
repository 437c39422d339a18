#pragma once
// The audio of a row's part cut from what its source delivers. A source that seeks exactly
// starts at the part's first sample frame (StartAt); one that cannot decodes from the input's
// start, and what lies before the part is dropped here. Once the part's end has gone by, the
// row's converter stops pumping.
#include <cstdint>
#include <utility>

#include "engine/RowPart.h"

class PartWindow {
public:
    explicit PartWindow(const RowPart& part) : part_(part) {}

    // The sample frame of the input the part starts at, in audio at rate (Hz).
    uint64_t FirstFrame(uint32_t rate) const;
    // The source's next block starts at sample frame `frame` of the input.
    void StartAt(uint64_t frame) { seenFrames_ = frame; }
    // The next block of the audio, byteCount bytes of frames frameBytes long at rate (Hz): the
    // offset and count of its bytes that lie in the part.
    std::pair<uint32_t, uint32_t> Cut(uint32_t byteCount, uint32_t frameBytes, uint32_t rate);
    // The part's end has gone by.
    bool Passed() const { return passed_; }

private:
    uint64_t FrameAt(int64_t place, uint32_t rate) const;

    const RowPart& part_;
    uint64_t seenFrames_ = 0;
    bool passed_ = false;
};
