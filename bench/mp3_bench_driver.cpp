// Converts one file through the source factory, pumping it to the end as the worker does:
//   bmc_mp3_bench IN OUT.mp3 BITRATE RATE CHANNELS
//   bmc_mp3_bench IN OUT.wav            (16-bit stereo 44100 Hz PCM)
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/ConversionError.h"
#include "catalog/ConversionSettings.h"
#include "engine/WaveFormat.h"
#include "engine/OpenAudioSource.h"
#include "system/CodecModules.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 6) {
        std::fprintf(stderr, "usage: %s IN OUT [BITRATE RATE CHANNELS]\n", argv[0]);
        return 2;
    }
    ConversionSettings s;
    if (argc == 6) {
        s.TargetFormat = tfMp3;
        s.Mp3BitRate = std::atoi(argv[3]);
        s.Mp3SampleRate = std::atoi(argv[4]);
        s.Mp3Stereo = std::atoi(argv[5]) == 2;
    } else {
        s.TargetFormat = tfWave;
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
