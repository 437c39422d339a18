#include "engine/DecodeToObserver.h"

#include "catalog/FormatTable.h"
#include "engine/AudioSource.h"
#include "engine/RowContext.h"

std::optional<RowValues> DecodeToObserver(const std::string& path, std::string_view extension,
                                          const JobEnvironment& environment,
                                          AudioObserver& observer) {
    // Nothing is encoded, so nothing of the settings matters.
    static const ConversionSettings settings{};
    const FormatInfo* format = FindReadFormat(extension);
    if (!format || !format->MakeSource) {
        return std::nullopt;
    }
    RowResult result;
    // The audio goes to the observer alone, in the file's own shape: an output decoded at 48 kHz
    // is not resampled for a file that is never written.
    const RowContext row{.Settings = settings,
                         .OutputPath = {},
                         .Environment = environment,
                         .Result = result,
                         .Observer = &observer,
                         .InputExtension = extension,
                         .ObserveOnly = true};
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
