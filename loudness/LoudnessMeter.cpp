#include "loudness/LoudnessMeter.h"

#include <algorithm>
#include <cmath>

void LoudnessMeter::Free::operator()(ebur128_state* state) const {
    ebur128_destroy(&state);
}

std::optional<LoudnessMeter> LoudnessMeter::For(uint16_t channels, uint32_t sampleRate) {
    State state(ebur128_init(channels, sampleRate, EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK));
    if (!state) {
        return std::nullopt;
    }
    return LoudnessMeter(std::move(state), channels);
}

bool LoudnessMeter::Add(const float* samples, uint32_t frames) {
    return ebur128_add_frames_float(state_.get(), samples, frames) == EBUR128_SUCCESS;
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
