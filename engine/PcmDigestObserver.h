#pragma once
// Takes the digest and length of a row's decoded audio, into a record its owner keeps: the
// observer itself belongs to the row's group of observers and is gone before the owner reads it.
// The same samples in the same shape give the same digest, whatever file they came from.
#include <array>
#include <cstdint>
#include <optional>

#include <nettle/sha2.h>

#include "engine/AudioObserver.h"

class PcmDigestObserver final : public AudioObserver {
public:
    struct Result {
        std::array<uint8_t, SHA256_DIGEST_SIZE> digest{};
        uint64_t frames = 0;
        uint32_t sampleRate = 0;
        uint16_t channels = 0;

        bool operator==(const Result&) const = default;
    };

    // into stays empty until every block was seen.
    explicit PcmDigestObserver(std::optional<Result>& into);

    void Block(const AudioBlock& block) override;
    void End(RowValues& values) override;

private:
    std::optional<Result>& into_;
    Result result_;
    sha256_ctx sha_{};
};
