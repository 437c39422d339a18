#include "mirror/AudioDigestObserver.h"

void AudioDigestObserver::Block(const AudioBlock& block) {
    if (result_.frames == 0) {
        // The shape is part of the audio: the same samples at another rate are other audio.
        result_.sampleRate = block.SampleRate;
        result_.channels = block.Channels;
        sha_.AddNumber(block.SampleRate);
        sha_.AddNumber(block.Channels);
    }
    sha_.Add(block.Samples, sizeof(float) * block.Frames * block.Channels);
    result_.frames += block.Frames;
}

void AudioDigestObserver::End(RowValues&) {
    result_.digest = sha_.Finish();
    ended_ = result_;
}
