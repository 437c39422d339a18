#include "mirror/DecodeAudio.h"

#include <cmath>

#include "engine/DecodeToObserver.h"
#include "system/FileNames.h"

namespace {
// The most an encoder here adds or drops: an AAC frame's 1,024 samples of priming and up to as
// many of padding, or a WMA frame, at 44.1 kHz, with room to spare.
constexpr double LengthToleranceSeconds = 0.1;
} // namespace

std::optional<DecodedAudio> DecodeAudio(const std::string& path,
                                        const JobEnvironment& environment) {
    AudioDigestObserver observer;
    return DecodeObserved(path, environment, observer) ? observer.Ended() : std::nullopt;
}

std::optional<RowValues> DecodeObserved(const std::string& path, const JobEnvironment& environment,
                                        AudioObserver& observer) {
    return DecodeToObserver(path, GetFileExtension(path), environment, observer);
}

bool SameLength(const DecodedAudio& source, const DecodedAudio& output) {
    if (source.sampleRate == 0 || output.sampleRate == 0) {
        return false;
    }
    const double sourceSeconds = static_cast<double>(source.frames) / source.sampleRate;
    const double outputSeconds = static_cast<double>(output.frames) / output.sampleRate;
    return std::fabs(sourceSeconds - outputSeconds) <= LengthToleranceSeconds;
}
