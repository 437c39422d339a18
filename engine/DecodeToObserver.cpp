#include "engine/DecodeToObserver.h"

#include <cstring>

#include "catalog/FormatTable.h"
#include "engine/AudioSource.h"
#include "engine/RowContext.h"
#include "engine/WaveFormat.h"

namespace {
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

std::optional<RowValues> DecodeToObserver(const std::string& path, std::string_view extension,
                                          const JobEnvironment& environment,
                                          AudioObserver& observer) {
    static const ConversionSettings settings = DiscardingSettings();
    const FormatInfo* format = FindReadFormat(extension);
    if (!format || !format->MakeSource) {
        return std::nullopt;
    }
    RowResult result;
    const RowContext row{settings, "/dev/null", environment, result, &observer, extension};
    ConversionError code = ConversionError::ceNone;
    std::unique_ptr<AudioSource> source = format->MakeSource(path.c_str(), row, code);
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
