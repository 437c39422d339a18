// Converts one file through the source factory, pumping it to the end as the worker does:
//   bmc_mp3_bench IN OUT.mp3 BITRATE RATE CHANNELS
//   bmc_mp3_bench IN OUT.wav            (16-bit stereo 44100 Hz PCM)
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalog/ConversionSettings.h"
#include "catalog/FormatTable.h"
#include "engine/ConversionError.h"
#include "engine/OpenAudioSource.h"
#include "engine/WaveFormat.h"
#include "formats/mp3/Mp3Options.h"
#include "system/CodecModules.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 6) {
        std::fprintf(stderr, "usage: %s IN OUT [BITRATE RATE CHANNELS]\n", argv[0]);
        return 2;
    }
    ConversionSettings s;
    if (argc == 6) {
        s.TargetFormat = FindTargetFormat("mp3")->Number;
        s.Options.Set(Mp3BitRateOption, std::atoi(argv[3]));
        s.Options.Set(Mp3SampleRateOption, std::atoi(argv[4]));
        s.Options.Set(Mp3MonoOption, std::atoi(argv[5]) == 2 ? 0 : Mp3MonoOption.Most);
    } else {
        s.TargetFormat = FindTargetFormat("wav")->Number;
        const WAVEFORMATEX format = MakePcmFormat(2, 44100, 16);
        std::memcpy(s.WaveOutputFormat.data(), &format, sizeof format);
    }
    CodecModules codecs;
    const JobEnvironment environment{codecs, ::pread, ""};
    RowResult result;
    const RowContext row{s, argv[2], environment, result};
    ConversionError code = ConversionError::ceNone;
    auto source = OpenAudioSource(argv[1], row, code);
    if (!source || code != ConversionError::ceNone) {
        std::fprintf(stderr, "%s\n", ConversionErrorLine(code, argv[1]).c_str());
        return 1;
    }
    while (source->Pump()) {
    }
    source.reset();
    if (result.WriteError) {
        std::fprintf(stderr, "%s\n", WriteErrorLine(argv[2]).c_str());
        return 1;
    }
    return 0;
}
