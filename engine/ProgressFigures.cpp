#include "engine/ProgressFigures.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace {
// A width that cannot be represented saturates instead of wrapping to a negative width; only a
// source that reports far more done than total gets here, and it is shown as a full bar anyway.
int32_t SaturatedWidth(uint64_t width) {
    constexpr auto most = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(width > most ? most : width);
}

int32_t SaturatedWidth(double width) {
    constexpr double most = std::numeric_limits<int32_t>::max();
    return width >= most ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(width);
}
} // namespace

double FilePercent(int32_t total, int32_t done) {
    const auto whole = static_cast<uint32_t>(total);
    return static_cast<uint32_t>(done) * 100.0 / (whole == 0 ? 1 : whole);
}

int32_t FileBarWidth(double percent) {
    return SaturatedWidth(percent * 259.0 * 0.01);
}

uint64_t FileBytesDone(uint64_t fileSize, double percent) {
    return fileSize * static_cast<uint64_t>(std::trunc(percent)) / 100;
}

int32_t TotalBarWidth(uint64_t done, uint64_t totalBytes) {
    const uint64_t totalPercent = done * 100 / (totalBytes == 0 ? 1 : totalBytes);
    return SaturatedWidth(totalPercent * 259 / 100);
}

int32_t ComputeSecondsLeft(uint32_t elapsedMs, uint64_t done, uint64_t totalBytes) {
    const uint64_t elapsedSeconds = elapsedMs / 1000;
    if (done == 0) {
        done = 1;
    }
    // Signed 64-bit arithmetic that wraps like the machine's instead of being undefined.
    const auto product = static_cast<int64_t>(elapsedSeconds * (totalBytes - done));
    const int64_t seconds = product / static_cast<int64_t>(done);
    return static_cast<int32_t>(static_cast<uint32_t>(seconds));
}

std::string ProgressTitle(int32_t totalPcWidth) {
    return "BMC " + std::to_string(totalPcWidth * 100 / FullBarWidth) + "% Converted";
}

std::string TimeRemainingText(int32_t secondsLeft) {
    const int32_t hours = secondsLeft / 3600;
    const int32_t minutes = (secondsLeft - hours * 3600) / 60;
    const int32_t seconds = secondsLeft - hours * 3600 - minutes * 60;
    char text[260];
    std::snprintf(text, sizeof text, "Time Remaining : %d:%02d.%02d", hours, minutes, seconds);
    return text;
}
