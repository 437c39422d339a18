#include "mirror/DecodeAudio.h"

#include <cmath>
#include <cstring>

#include "catalog/FormatTable.h"
#include "engine/OpenAudioSource.h"
#include "engine/WaveFormat.h"

namespace {
// The most an encoder here adds or drops: an AAC frame's 1,024 samples of priming and up to as
// many of padding, or a WMA frame, at 44.1 kHz, with room to spare.
constexpr double LengthToleranceSeconds = 0.1;

// A WAVE output of the commonest shape, thrown away: a 44.1 kHz stereo input costs it only a
// change of sample format. The observer sees the input's own samples either way.
ConversionSettings DiscardingSettings() {
    ConversionSettings settings;
    const FormatInfo* wave = FindTargetFormat(std::string_view("wav"));
    settings.TargetFormat = wave ? wave->Number : DefaultTargetFormat;
    const WAVEFORMATEX pcm = MakePcmFormat(2, 44100, 16);
    std::memcpy(settings.WaveOutputFormat.data(), &pcm, sizeof pcm);
    settings.CopyTags = false;
    return settings;
}
} // namespace

std::optional<DecodedAudio> DecodeAudio(const std::string& path,
                                        const JobEnvironment& environment) {
    AudioDigestObserver observer;
    return DecodeObserved(path, environment, observer) ? observer.Ended() : std::nullopt;
}

std::optional<RowValues> DecodeObserved(const std::string& path, const JobEnvironment& environment,
                                        AudioObserver& observer) {
    static const ConversionSettings settings = DiscardingSettings();
    RowResult result;
    const RowContext row{settings, "/dev/null", environment, result, &observer};
    ConversionError code = ConversionError::ceNone;
    std::unique_ptr<AudioSource> source = OpenAudioSource(path.c_str(), row, code);
    if (!source || code != ConversionError::ceNone) {
        return std::nullopt;
    }
    while (source->Pump()) {
    }
    // Ending the source ends the observer.
    source.reset();
    if (result.InputError != ConversionError::ceNone || result.ProtectedInput) {
        return std::nullopt;
    }
    return result.Values;
}

bool SameLength(const DecodedAudio& source, const DecodedAudio& output) {
    if (source.sampleRate == 0 || output.sampleRate == 0) {
        return false;
    }
    const double sourceSeconds = static_cast<double>(source.frames) / source.sampleRate;
    const double outputSeconds = static_cast<double>(output.frames) / output.sampleRate;
    return std::fabs(sourceSeconds - outputSeconds) <= LengthToleranceSeconds;
}
