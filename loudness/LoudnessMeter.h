#pragma once
// The EBU R128 integrated loudness and the sample peak of one stream of interleaved float frames,
// measured by libebur128. Channels are weighted by its default map (L, R, C, LFE left out, Ls,
// Rs), which is the order WAVE, FLAC and the other formats give 5.1 audio in.
#include <ebur128.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class LoudnessMeter {
public:
    // Nothing when libebur128 takes no such layout (no channel, a rate below 16 Hz) or is out of
    // memory.
    // keepBlocks: keep the energy of each gating block, for an album's loudness.
    static std::optional<LoudnessMeter> For(uint16_t channels, uint32_t sampleRate,
                                            bool keepBlocks = false);

    // False when libebur128 refused the frames (out of memory).
    bool Add(const float* samples, uint32_t frames);
    // In LUFS; minus infinity for silence, or fewer than 400 ms of audio.
    double Loudness() const;
    // The largest sample of any channel, linear.
    double Peak() const;
    // The mean square energies, K-weighted, of the 400 ms gating blocks (one every 100 ms) that
    // reach the absolute gate of -70 LUFS, as libebur128 gates them; kept only when asked.
    const std::vector<double>& Blocks() const { return blocks_; }

private:
    struct Free {
        void operator()(ebur128_state* state) const;
    };
    using State = std::unique_ptr<ebur128_state, Free>;
    LoudnessMeter(State state, uint16_t channels, uint32_t blockStep)
        : state_(std::move(state)), channels_(channels), blockStep_(blockStep) {}
    bool AddUpToNextBlock(const float*& samples, uint32_t& frames);
    void TakeBlock();

    State state_;
    uint16_t channels_;
    // Frames between two blocks' ends; 0 when blocks are not kept.
    uint32_t blockStep_;
    uint64_t frames_ = 0;
    std::vector<double> blocks_;
};
