#pragma once
// The digests of one source, each taken on first asking and kept: a run asks only for those of
// sources whose size or time changed.
//
// The audio's: a FLAC file's STREAMINFO MD5 of its decoded samples where its encoder set it (a
// few hundred bytes read, so retagging a library costs no decoding), otherwise a digest of the
// audio decoded through the program's own source of the format, which is right for every format
// it reads and unmoved by tags. A FLAC file whose MD5 is added later reads as changed once.
// The tags': over the tags the program carries to an output (ReadAudioTags), so a change it
// would not carry costs no retag.
#include <optional>
#include <string>

#include "engine/JobEnvironment.h"
#include "mirror/Digest.h"
#include "mirror/MirrorDecision.h"

class SourceDigests {
public:
    SourceDigests(std::string path, const JobEnvironment& environment);
    SourceDigests(const SourceDigests&) = delete;
    SourceDigests& operator=(const SourceDigests&) = delete;

    // nullopt when the source cannot be read.
    std::optional<Digest> Audio();
    // The audio's digest where it costs no decoding: taken already, or a FLAC file's STREAMINFO.
    std::optional<Digest> KnownAudio();
    // The digest a conversion took of the source's audio as it decoded it (AudioDigestObserver):
    // what Audio() gives, unless the source is a FLAC file whose STREAMINFO says it.
    void Decoded(const Digest& digest) { decoded_ = digest; }
    std::optional<Digest> Tags();
    // For MirrorFacts; they refer to this object.
    DigestQuery AudioQuery() {
        return [this] { return Audio(); };
    }
    DigestQuery TagsQuery() {
        return [this] { return Tags(); };
    }

    // The STREAMINFO part alone, for a FLAC file whose MD5 is set; nullopt otherwise.
    static std::optional<Digest> FlacSignature(const std::string& path);
    // The file's audio digest is read from it rather than decoded, by its name: a FLAC file
    // (one whose encoder left no MD5 is decoded here when asked).
    static bool ReadsAudioDigest(const std::string& path) { return IsFlac(path); }

private:
    static bool IsFlac(const std::string& path);

    std::string path_;
    const JobEnvironment& environment_;
    // Each taken once: the STREAMINFO's, the one decoded here, the conversion's.
    std::optional<std::optional<Digest>> signature_;
    std::optional<std::optional<Digest>> audio_;
    std::optional<Digest> decoded_;
    std::optional<std::optional<Digest>> tags_;
};
