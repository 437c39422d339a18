#pragma once
// Watches a source's decoded audio and takes its digest and length: the same samples give the
// same digest whatever the file around them (tags, container), in every format the program reads.
#include <optional>

#include "engine/AudioObserver.h"
#include "mirror/Sha256.h"

class AudioDigestObserver : public AudioObserver {
public:
    struct Result {
        Digest digest{};
        uint64_t frames = 0;
        uint32_t sampleRate = 0;
        uint16_t channels = 0;
    };

    AudioDigestObserver() = default;
    void Block(const AudioBlock& block) override;
    void End(RowValues& values) override;

    // Once every block was seen; nullopt when part of the audio never came.
    const std::optional<Result>& Ended() const { return ended_; }

private:
    Sha256 sha_;
    Result result_;
    std::optional<Result> ended_;
};
