#include "engine/PartWindow.h"

#include <algorithm>
#include <limits>

uint64_t PartWindow::FrameAt(int64_t place, uint32_t rate) const {
    return static_cast<uint64_t>(std::max<int64_t>(0, SampleFrameAt(place, rate, part_.PerSecond)));
}

uint64_t PartWindow::FirstFrame(uint32_t rate) const {
    return FrameAt(part_.Start, rate);
}

std::pair<uint32_t, uint32_t> PartWindow::Cut(uint32_t byteCount, uint32_t frameBytes,
                                              uint32_t rate) {
    const uint64_t from = seenFrames_ * frameBytes;
    const uint64_t to = from + byteCount;
    const uint64_t end =
        part_.End ? FrameAt(*part_.End, rate) * frameBytes : std::numeric_limits<uint64_t>::max();
    const uint64_t first = std::clamp(FrameAt(part_.Start, rate) * frameBytes, from, to);
    const uint64_t last = std::clamp(end, first, to);
    seenFrames_ += frameBytes ? byteCount / frameBytes : 0;
    passed_ = to >= end;
    return {static_cast<uint32_t>(first - from), static_cast<uint32_t>(last - first)};
}
