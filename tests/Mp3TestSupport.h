#pragma once
// Helpers for the MP3 tests: scratch folders, running the independent command-line tools, and
// driving the codec modules straight through their C interfaces.
#include <gtest/gtest.h>

#include "TestFolder.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "codecs/Mp3DecoderApi.h"
#include "codecs/Mp3EncoderApi.h"
#include "formats/mp3/Mp3Modules.h"
#include "system/CodecModules.h"

namespace mp3test {

using testtools::Quote;
using testtools::Shell;

using testtools::ScratchDir;

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline std::vector<int16_t> ToSamples(const std::string& bytes) {
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// A music-like test signal (plucked strings with a tremolo) of exactly `frames` samples per
// channel, as raw 16-bit PCM written to raw. The strings are plucked at 48 kHz, then resampled.
inline std::vector<int16_t> MusicSignal(const std::string& raw, int rate, int channels,
                                        long frames) {
    const std::string seconds = std::to_string(double(frames) / rate + 0.1);
    Shell("sox -r 48000 -c " + std::to_string(channels) + " -n -r " + std::to_string(rate) +
          " -b 16 -e signed -t raw " + Quote(raw) + " synth " + seconds +
          " pluck C3 pluck E4 tremolo 5 40 rate " + std::to_string(rate) + " trim 0 " +
          std::to_string(frames) + "s norm -3");
    return ToSamples(ReadFile(raw));
}

inline double Correlation(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
    const size_t n = std::min(a.size(), b.size());
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < n; ++i) {
        ab += double(a[i]) * b[i];
        aa += double(a[i]) * a[i];
        bb += double(b[i]) * b[i];
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

// What `soxi` reports about a file: samples per channel, rate, channels.
struct SoxInfo {
    long samples = 0;
    long rate = 0;
    long channels = 0;
};

inline SoxInfo Soxi(const std::string& path) {
    SoxInfo info;
    const std::string all = Shell("soxi -s " + Quote(path) + " && soxi -r " + Quote(path) +
                                  " && soxi -c " + Quote(path));
    std::istringstream in(all);
    in >> info.samples >> info.rate >> info.channels;
    return info;
}

// What mpg123 decodes from an MP3 file, as seen through the WAVE file it writes.
inline SoxInfo Mpg123Decode(const ScratchDir& dir, const std::string& mp3) {
    const std::string wav = dir / "mpg123-out.wav";
    Shell("mpg123 -q -w " + Quote(wav) + " " + Quote(mp3) + " 2>/dev/null");
    return Soxi(wav);
}

// The modules of the build's codec folder.
inline CodecModules& BuiltModules() {
    static CodecModules modules({std::string(BMC_CODEC_DIR) + "/"});
    return modules;
}

inline CodecModule& EncoderModule() {
    return BuiltModules().Module(Mp3EncoderModuleFile, Mp3EncoderEntryPoints);
}

inline CodecModule& DecoderModule() {
    return BuiltModules().Module(Mp3DecoderModuleFile, Mp3DecoderEntryPoints);
}

} // namespace mp3test
