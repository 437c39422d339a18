#pragma once
// The EBU R128 integrated loudness and the sample peak of one stream of interleaved float frames,
// measured by libebur128. Channels are weighted by its default map (L, R, C, LFE left out, Ls,
// Rs), which is the order WAVE, FLAC and the other formats give 5.1 audio in.
#include <ebur128.h>

#include <cstdint>
#include <memory>
#include <optional>

class LoudnessMeter {
public:
    // Nothing when libebur128 takes no such layout (no channel, a rate below 16 Hz) or is out of
    // memory.
    static std::optional<LoudnessMeter> For(uint16_t channels, uint32_t sampleRate);

    // False when libebur128 refused the frames (out of memory).
    bool Add(const float* samples, uint32_t frames);
    // In LUFS; minus infinity for silence, or fewer than 400 ms of audio.
    double Loudness() const;
    // The largest sample of any channel, linear.
    double Peak() const;

private:
    struct Free {
        void operator()(ebur128_state* state) const;
    };
    using State = std::unique_ptr<ebur128_state, Free>;
    LoudnessMeter(State state, uint16_t channels) : state_(std::move(state)), channels_(channels) {}

    State state_;
    uint16_t channels_;
};
