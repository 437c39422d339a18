#pragma once
// Takes the digest and length of a row's decoded audio, into a record its owner keeps: the
// observer itself belongs to the row's group of observers and is gone before the owner reads it.
// The same samples in the same shape give the same digest, whatever file they came from.
#include <array>
#include <cstdint>
#include <optional>

#include <nettle/umac.h>

#include "engine/AudioObserver.h"

class PcmDigestObserver final : public AudioObserver {
public:
    struct Result {
        // UMAC-128 under a fixed key, a universal hash several times quicker than SHA-256 over
        // the float samples: two different streams share a tag with a chance of about 2^-120,
        // and nothing here is forged. The tag fills the first half; the rest stays zero.
        std::array<uint8_t, 32> digest{};
        uint64_t frames = 0;
        uint32_t sampleRate = 0;
        uint16_t channels = 0;

        bool operator==(const Result&) const = default;
    };

    // into stays empty until every block was seen. Without digest only the length and shape are
    // taken, for audio compared by its length alone.
    PcmDigestObserver(std::optional<Result>& into, bool digest);

    void Block(const AudioBlock& block) override;
    void End(RowValues& values) override;

private:
    std::optional<Result>& into_;
    Result result_;
    bool digest_;
    umac128_ctx umac_{};
};
