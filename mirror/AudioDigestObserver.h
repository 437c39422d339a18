#pragma once
// Watches a source's decoded audio and takes its digest and length: the same samples give the
// same digest whatever the file around them (tags, container), in every format the program reads.
// A mirror's conversions are watched by one, so that the journal gets the digest of a source's
// audio without decoding it a second time; from a worker process, the digest comes back in the
// row's values.
#include <optional>
#include <string_view>

#include "engine/AudioObserver.h"
#include "engine/JobEnvironment.h"
#include "mirror/Sha256.h"

class AudioDigestObserver : public AudioObserver {
public:
    struct Result {
        Digest digest{};
        uint64_t frames = 0;
        uint32_t sampleRate = 0;
        uint16_t channels = 0;
    };

    // What worker processes know these observers by.
    static constexpr std::string_view Name = "audio-digest";

    AudioDigestObserver() = default;
    void Block(const AudioBlock& block) override;
    void End(RowValues& values) override;

    // Once every block was seen; nullopt when part of the audio never came.
    const std::optional<Result>& Ended() const { return ended_; }

    // The observers of a job whose rows' digests are wanted, here and in its worker processes.
    static void Observe(JobEnvironment& environment);
    static AudioObserverFactory Factory();
    // The digest End put into a row's values; nullopt when none is there whole.
    static std::optional<Digest> DigestIn(const RowValues& values);

private:
    Sha256 sha_;
    Result result_;
    std::optional<Result> ended_;
};
