#include "engine/PartWindow.h"

#include <algorithm>
#include <limits>

std::pair<uint32_t, uint32_t> PartWindow::Cut(uint32_t byteCount, uint32_t frameBytes,
                                              uint32_t rate) {
    const auto bytesAt = [&](int64_t cdFrames) {
        return static_cast<uint64_t>(std::max<int64_t>(0, SampleFrameAt(cdFrames, rate))) *
               frameBytes;
    };
    const uint64_t from = seenBytes_;
    const uint64_t to = from + byteCount;
    const uint64_t end = part_.End ? bytesAt(*part_.End) : std::numeric_limits<uint64_t>::max();
    const uint64_t first = std::clamp(bytesAt(part_.Start), from, to);
    const uint64_t last = std::clamp(end, first, to);
    seenBytes_ = to;
    passed_ = to >= end;
    return {static_cast<uint32_t>(first - from), static_cast<uint32_t>(last - first)};
}
