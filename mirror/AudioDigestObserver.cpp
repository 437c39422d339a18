#include "mirror/AudioDigestObserver.h"

#include <array>
#include <memory>
#include <string>

#include "engine/ObserverGroup.h"
#include "mirror/SourceDigests.h"

namespace {
// The digest goes into a row's values, which are doubles, as eight 32-bit words: each exact in
// a double, so the digest comes back from a worker process bit for bit.
constexpr std::size_t WordBytes = 4;
constexpr std::size_t Words = std::tuple_size_v<Digest> / WordBytes;

const std::array<std::string, Words>& WordNames() {
    static const std::array<std::string, Words> names = [] {
        std::array<std::string, Words> made;
        for (std::size_t word = 0; word < Words; ++word) {
            made[word] = "audio digest " + std::to_string(word);
        }
        return made;
    }();
    return names;
}
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
    for (std::size_t word = 0; word < Words; ++word) {
        uint32_t number = 0;
        for (std::size_t byte = 0; byte < WordBytes; ++byte) {
            number = number << 8 | result_.digest[word * WordBytes + byte];
        }
        values[WordNames()[word]] = number;
    }
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
    Digest digest{};
    for (std::size_t word = 0; word < Words; ++word) {
        const auto found = values.find(WordNames()[word]);
        if (found == values.end() || !(found->second >= 0 && found->second <= UINT32_MAX)) {
            return std::nullopt;
        }
        const auto number = static_cast<uint32_t>(found->second);
        if (number != found->second) {
            return std::nullopt;
        }
        for (std::size_t byte = 0; byte < WordBytes; ++byte) {
            digest[word * WordBytes + byte] = static_cast<uint8_t>(number >> (8 * (3 - byte)));
        }
    }
    return digest;
}
