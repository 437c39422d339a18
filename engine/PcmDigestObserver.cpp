#include "engine/PcmDigestObserver.h"

namespace {
// Any fixed key will do, as long as every process uses the same one: digests taken by a worker
// are compared with digests taken by its parent.
constexpr uint8_t DigestKey[UMAC_KEY_SIZE] = {'B', 'r', 'i', 'n', 'd', 'l', 'e', 'x',
                                              'P', 'C', 'M', '-', 'd', 'i', 'g', '1'};
} // namespace

PcmDigestObserver::PcmDigestObserver(std::optional<Result>& into, bool digest)
    : into_(into), digest_(digest) {
    into_.reset();
    if (digest_) {
        // Also sets the nonce to zero, the same for every digest.
        umac128_set_key(&umac_, DigestKey);
    }
}

void PcmDigestObserver::Block(const AudioBlock& block) {
    if (result_.frames == 0) {
        // The shape is part of the audio: the same samples at another rate are other audio.
        result_.sampleRate = block.SampleRate;
        result_.channels = block.Channels;
        const uint32_t shape[2] = {block.SampleRate, block.Channels};
        if (digest_) {
            umac128_update(&umac_, sizeof shape, reinterpret_cast<const uint8_t*>(shape));
        }
    }
    if (digest_) {
        umac128_update(&umac_, sizeof(float) * block.Frames * block.Channels,
                       reinterpret_cast<const uint8_t*>(block.Samples));
    }
    result_.frames += block.Frames;
}

void PcmDigestObserver::End(RowValues&) {
    if (digest_) {
        umac128_digest(&umac_, UMAC128_DIGEST_SIZE, result_.digest.data());
    }
    into_ = result_;
}
