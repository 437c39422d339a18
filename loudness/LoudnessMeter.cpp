#include "loudness/LoudnessMeter.h"

#include <algorithm>
#include <cmath>

void LoudnessMeter::Free::operator()(ebur128_state* state) const {
    ebur128_destroy(&state);
}

namespace {
// libebur128's own: a block ends every 100 ms, rounded so; the first after 400 ms.
constexpr uint32_t BlocksPerWindow = 4;
uint32_t FramesIn100Ms(uint32_t sampleRate) {
    return (sampleRate + 5) / 10;
}
// Loudness back to the energy libebur128 took it from (LUFS = 10 log10 energy - 0.691).
double EnergyOf(double loudness) {
    return std::pow(10.0, (loudness + 0.691) / 10.0);
}
const double AbsoluteGate = EnergyOf(-70.0);
} // namespace

std::optional<LoudnessMeter> LoudnessMeter::For(uint16_t channels, uint32_t sampleRate,
                                                bool keepBlocks) {
    State state(ebur128_init(channels, sampleRate, EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK));
    if (!state) {
        return std::nullopt;
    }
    return LoudnessMeter(std::move(state), channels, keepBlocks ? FramesIn100Ms(sampleRate) : 0);
}

bool LoudnessMeter::Add(const float* samples, uint32_t frames) {
    if (blockStep_ == 0) {
        return ebur128_add_frames_float(state_.get(), samples, frames) == EBUR128_SUCCESS;
    }
    while (frames > 0) {
        if (!AddUpToNextBlock(samples, frames)) {
            return false;
        }
    }
    return true;
}

// libebur128 gives no block's energy, only the loudness of the last 400 ms: read at each block's
// end, that is the block.
bool LoudnessMeter::AddUpToNextBlock(const float*& samples, uint32_t& frames) {
    const auto part =
        static_cast<uint32_t>(std::min<uint64_t>(frames, blockStep_ - frames_ % blockStep_));
    if (ebur128_add_frames_float(state_.get(), samples, part) != EBUR128_SUCCESS) {
        return false;
    }
    samples += static_cast<std::size_t>(part) * channels_;
    frames -= part;
    frames_ += part;
    if (frames_ % blockStep_ == 0 && frames_ >= uint64_t{BlocksPerWindow} * blockStep_) {
        TakeBlock();
    }
    return true;
}

void LoudnessMeter::TakeBlock() {
    double loudness = -HUGE_VAL;
    if (ebur128_loudness_momentary(state_.get(), &loudness) != EBUR128_SUCCESS ||
        !std::isfinite(loudness)) {
        return;
    }
    if (const double energy = EnergyOf(loudness); energy >= AbsoluteGate) {
        blocks_.push_back(energy);
    }
}

double LoudnessMeter::Loudness() const {
    double loudness = -HUGE_VAL;
    return ebur128_loudness_global(state_.get(), &loudness) == EBUR128_SUCCESS ? loudness
                                                                               : -HUGE_VAL;
}

double LoudnessMeter::Peak() const {
    double largest = 0;
    for (uint16_t channel = 0; channel < channels_; ++channel) {
        double peak = 0;
        if (ebur128_sample_peak(state_.get(), channel, &peak) == EBUR128_SUCCESS) {
            largest = std::max(largest, peak);
        }
    }
    return largest;
}
