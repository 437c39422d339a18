#include "engine/PcmDigestObserver.h"

PcmDigestObserver::PcmDigestObserver(std::optional<Result>& into) : into_(into) {
    into_.reset();
    sha256_init(&sha_);
}

void PcmDigestObserver::Block(const AudioBlock& block) {
    if (result_.frames == 0) {
        // The shape is part of the audio: the same samples at another rate are other audio.
        result_.sampleRate = block.SampleRate;
        result_.channels = block.Channels;
        const uint32_t shape[2] = {block.SampleRate, block.Channels};
        sha256_update(&sha_, sizeof shape, reinterpret_cast<const uint8_t*>(shape));
    }
    sha256_update(&sha_, sizeof(float) * block.Frames * block.Channels,
                  reinterpret_cast<const uint8_t*>(block.Samples));
    result_.frames += block.Frames;
}

void PcmDigestObserver::End(RowValues&) {
    sha256_digest(&sha_, result_.digest.size(), result_.digest.data());
    into_ = result_;
}
