#pragma once
// The arithmetic of the progress display: bar widths in pixels of a 259-pixel bar, the job's
// percentage weighted by input size, and the time-remaining estimate.
#include <cstdint>
#include <string>

inline constexpr int32_t FullBarWidth = 259;

// The share of a file done, in percent, from what its source reports in its own unit: done of
// total (a total of 0 counts as 1), both read as unsigned.
double FilePercent(int32_t total, int32_t done);
// The width of a file's bar for its percentage; over-reporting sources give wider bars.
int32_t FileBarWidth(double percent);
// The bytes of a file of fileSize counted as done: its whole percentage of them.
uint64_t FileBytesDone(uint64_t fileSize, double percent);
// The width of the whole job's bar: its whole percentage of all bytes (a total of 0 counts as 1).
int32_t TotalBarWidth(uint64_t done, uint64_t totalBytes);

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
