#include "mirror/AudioDigestObserver.h"

#include <memory>
#include <string_view>

#include "engine/DigestValues.h"
#include "engine/ObserverGroup.h"
#include "mirror/SourceDigests.h"

namespace {
constexpr std::string_view DigestName = "audio digest";
} // namespace

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

void AudioDigestObserver::End(RowValues& values) {
    result_.digest = sha_.Finish();
    ended_ = result_;
    PutDigest(values, DigestName, result_.digest);
}

void AudioDigestObserver::Observe(JobEnvironment& environment) {
    environment.Observers = ObserverGroup::Of({environment.Observers, Factory()});
    environment.ObserversName = Name;
}

AudioObserverFactory AudioDigestObserver::Factory() {
    // A FLAC file's digest is read from it, not taken while decoding.
    return [](const ConversionSettings&, const std::string& input) {
        return SourceDigests::ReadsAudioDigest(input) ? nullptr
                                                      : std::make_unique<AudioDigestObserver>();
    };
}

std::optional<Digest> AudioDigestObserver::DigestIn(const RowValues& values) {
    return ::DigestIn(values, DigestName);
}
