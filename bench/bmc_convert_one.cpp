// Converts one file through the engine's source and sink, as the worker does, for the benches:
//   bmc-convert-one INPUT OUTPUT wav|wma [WMA_KBITS WMA_RATE]
// Exit status 0 on success, 1 on any failure (the failure's line on standard error).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "catalog/ConversionSettings.h"
#include "catalog/FormatTable.h"
#include "engine/OpenAudioSource.h"
#include "engine/WaveFormat.h"
#include "formats/wma/WmaOptions.h"
#include "system/CodecModules.h"

namespace {
// The WMA quality entry of that bit rate and sample rate; nullopt when the list has none.
std::optional<int32_t> WmaQualityItem(int32_t kbps, int32_t rate) {
    const auto it = std::ranges::find_if(
        WmaQualities, [&](const WmaQuality& q) { return q.Kbps == kbps && q.SampleRate == rate; });
    if (it == WmaQualities.end()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(it - WmaQualities.begin());
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s INPUT OUTPUT wav|wma [KBITS RATE]\n", argv[0]);
        return 2;
    }
    ConversionSettings settings;
    const FormatInfo* target = FindTargetFormat(std::strcmp(argv[3], "wma") == 0 ? "wma" : "wav");
    settings.TargetFormat = target->Number;
    const std::optional<int32_t> quality =
        WmaQualityItem(argc > 4 ? std::atoi(argv[4]) : 160, argc > 5 ? std::atoi(argv[5]) : 44100);
    if (!quality) {
        std::fprintf(stderr, "no WMA quality entry has that bit rate and sample rate\n");
        return 2;
    }
    settings.Options.Set(WmaQualityOption, *quality);
    const WAVEFORMATEX cd = MakePcmFormat(2, 44100, 16);
    std::memcpy(settings.WaveOutputFormat.data(), &cd, sizeof cd);
    CodecModules codecs;
    const JobEnvironment environment{codecs, ::pread, ""};
    RowResult result;
    const RowContext row{settings, argv[2], environment, result};
    ConversionError code = ConversionError::ceNone;
    {
        auto source = OpenAudioSource(argv[1], row, code);
        if (!source) {
            std::fprintf(stderr, "%s\n", UnsupportedTypeLine(argv[1]).c_str());
            return 1;
        }
        while (code == ConversionError::ceNone && source->Pump()) {
        }
    }
    std::string line = ConversionErrorLine(code, argv[1]);
    if (line.empty() && result.InputError != ConversionError::ceNone)
        line = ConversionErrorLine(result.InputError, argv[1]);
    if (line.empty() && result.WriteError)
        line = WriteErrorLine(argv[2]);
    if (line.empty() && result.ProtectedInput)
        line = ProtectedInputLine(argv[1]);
    if (!line.empty())
        std::fprintf(stderr, "%s\n", line.c_str());
    return line.empty() ? 0 : 1;
}
