#pragma once
// The arithmetic of the progress display: bar widths in pixels of a 259-pixel bar, the job's
// percentage weighted by input size, and the time-remaining estimate.
#include <cstdint>
#include <string>

inline constexpr int32_t FullBarWidth = 259;

struct ProgressFigures {
    int32_t FilePcWidth = 0;
    int32_t TotalPcWidth = 0;
    // The current file's share of its input size, estimated from its own percentage.
    uint64_t FileDone = 0;
};

// progress[0] = total and progress[1] = done of the current file, in the source's unit.
ProgressFigures ComputeProgressFigures(const int32_t progress[2], uint64_t fileSize,
                                       uint64_t bytesDone, uint64_t totalBytes);

// Seconds left after elapsedMs of the job with done of totalBytes handled.
int32_t ComputeSecondsLeft(uint32_t elapsedMs, uint64_t done, uint64_t totalBytes);

// Widths above a full bar are shown as a full bar; there is no lower clamp.
inline int32_t ClampBarWidth(int32_t width) {
    return width > FullBarWidth ? FullBarWidth : width;
}

// "BMC 11% Converted" for a total bar 31 pixels wide.
std::string ProgressTitle(int32_t totalPcWidth);

// "Time Remaining : 1:02.05" for 3725 seconds.
std::string TimeRemainingText(int32_t secondsLeft);
