#include "cue/AudioLength.h"

#include <taglib/fileref.h>
#include <taglib/flacproperties.h>
#include <taglib/wavproperties.h>

std::optional<AudioLength> ReadAudioLength(const std::string& path) {
    const TagLib::FileRef file(path.c_str(), true, TagLib::AudioProperties::Accurate);
    const TagLib::AudioProperties* properties = file.isNull() ? nullptr : file.audioProperties();
    if (!properties || properties->sampleRate() <= 0) {
        return std::nullopt;
    }
    const int64_t rate = properties->sampleRate();
    // Lossless headers count frames; others give milliseconds, close enough for a sheet's places.
    if (const auto* flac = dynamic_cast<const TagLib::FLAC::Properties*>(properties)) {
        return AudioLength{static_cast<int64_t>(flac->sampleFrames()), rate};
    }
    if (const auto* wave = dynamic_cast<const TagLib::RIFF::WAV::Properties*>(properties)) {
        return AudioLength{static_cast<int64_t>(wave->sampleFrames()), rate};
    }
    return AudioLength{int64_t{properties->lengthInMilliseconds()} * rate / 1000, rate};
}
