// AAC and ALAC in MP4 through the conversion path: WAVE inputs made byte by byte into .m4a
// outputs checked by ffmpeg/ffprobe (exact lengths, bit-exact ALAC), .m4a inputs read back by our
// own source, hostile inputs, and the module missing.
#include <cstdio>
#include <filesystem>

#include "TargetNumbers.h"
#include "WaveTestSupport.h"
#include "WmaTestSupport.h"
#include "sinks/OutputSink.h"

namespace {
using testtools::Quote;
using testtools::ScratchDir;
using testtools::Shell;
using wavetest::PcmWave;
using wmatest::Convert;
using wmatest::Probe;
using wmatest::ReadFile;
using wmatest::WriteFile;

// Deterministic noise with a slow tone under it: hard enough that a codec cannot hide an error.
std::string Samples(uint32_t frames, uint16_t channels, uint16_t bits) {
    std::string bytes;
    bytes.reserve(size_t{frames} * channels * bits / 8);
    uint32_t state = 12345;
    for (uint32_t i = 0; i < frames * channels; ++i) {
        state = state * 1664525u + 1013904223u;
        const int32_t tone = static_cast<int32_t>((i % 200) * 100) - 10000;
        const int32_t value = tone + static_cast<int32_t>(state >> 20) - 2048;
        const uint32_t scaled = static_cast<uint32_t>(value) << (bits - 16);
        for (int b = 0; b < bits / 8; ++b)
            bytes += static_cast<char>(scaled >> (8 * b));
    }
    return bytes;
}

struct Pcm {
    uint32_t frames;
    uint16_t channels;
    uint32_t rate;
    uint16_t bits;
};

std::string MakeWave(const std::string& path, const Pcm& p) {
    const std::string samples = Samples(p.frames, p.channels, p.bits);
    WriteFile(path, PcmWave(MakePcmFormat(p.channels, p.rate, p.bits), samples));
    return samples;
}

// The sample frames ffmpeg decodes from a file, as little-endian PCM of that many bits.
std::string Decoded(const std::string& path, int bits) {
    return Shell("ffmpeg -v error -i " + Quote(path) + " -f s" + std::to_string(bits) + "le -");
}

uint64_t DecodedFrames(const std::string& path, int channels) {
    return Decoded(path, 16).size() / 2 / static_cast<uint64_t>(channels);
}

// Converts in to out with the row's settings and checks that nothing went wrong.
void ConvertCleanly(TestRow& row, const std::string& in, const std::string& out) {
    const auto c = Convert(row, in, out);
    ASSERT_EQ(c.code, ConversionError::ceNone) << in;
    EXPECT_TRUE(c.ended);
    EXPECT_FALSE(row.result.WriteError);
    EXPECT_EQ(row.result.InputError, ConversionError::ceNone);
}

void ToWave(TestRow& row, const std::string& in, const std::string& out, const Pcm& p) {
    wavetest::UseWaveOutput(row, out, MakePcmFormat(p.channels, p.rate, p.bits));
    ConvertCleanly(row, in, out);
}
} // namespace

class AacLength : public ::testing::TestWithParam<Pcm> {};

// Whatever the input's length against the 1024-frame AAC frame, ffmpeg decodes exactly the input's
// sample frames from the output, and so does our own source.
TEST_P(AacLength, DecodesToTheInputsFrames) {
    const Pcm p = GetParam();
    ScratchDir dir;
    TestRow row;
    MakeWave(dir / "in.wav", p);
    row.settings.TargetFormat = tfAac;
    ConvertCleanly(row, dir / "in.wav", dir / "out.m4a");
    EXPECT_EQ(Probe(dir / "out.m4a", "stream=codec_name"), "aac");
    EXPECT_EQ(Probe(dir / "out.m4a", "stream=sample_rate"), std::to_string(p.rate));
    // Inputs of at most half an AAC frame come back as one whole frame.
    const uint64_t expected = p.frames > 512 ? p.frames : 1024;
    EXPECT_EQ(DecodedFrames(dir / "out.m4a", p.channels), expected);
    // The gapless record tells the same: priming, padding and length fill whole frames.
    const uint32_t pad = p.frames > 512 ? (1024 - p.frames % 1024) % 1024 : 0;
    char smpb[64];
    std::snprintf(smpb, sizeof smpb, "' 00000000 %08X %08X %016X 00000000", 1024 + pad,
                  p.frames > 512 ? 0 : 1024 - p.frames, p.frames);
    EXPECT_NE(Shell("mutagen-inspect " + Quote(dir / "out.m4a")).find(smpb), std::string::npos)
        << smpb;
    ToWave(row, dir / "out.m4a", dir / "back.wav", Pcm{p.frames, p.channels, p.rate, 16});
    EXPECT_EQ(DecodedFrames(dir / "back.wav", p.channels), expected);
    // Lossy, but the same sound: the decoded output stays close to the input.
    if (p.frames > 512) {
        EXPECT_EQ(Shell("sox -m -v 1 " + Quote(dir / "in.wav") + " -v -1 " +
                        Quote(dir / "back.wav") +
                        " -n stat 2>&1 | awk '/RMS +amplitude/ { print ($3 < 0.05) }'"),
                  "1\n");
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, AacLength,
                         ::testing::Values(Pcm{220500, 2, 44100, 16}, Pcm{51200, 2, 44100, 16},
                                           Pcm{1023, 1, 22050, 16}, Pcm{513, 2, 48000, 24},
                                           Pcm{1, 2, 48000, 16}, Pcm{30001, 2, 96000, 24}),
                         [](const auto& info) {
                             return std::to_string(info.param.frames) + "f" +
                                    std::to_string(info.param.channels) + "ch" +
                                    std::to_string(info.param.rate);
                         });

// The bit rate, channel count and sample rate of the settings reach the file; a changed rate keeps
// the length in time.
TEST(Mp4Conversion, AacFollowsTheSettings) {
    ScratchDir dir;
    TestRow row;
    MakeWave(dir / "in.wav", Pcm{88200, 2, 44100, 16});
    row.settings.TargetFormat = tfAac;
    row.settings.Options.Set(OptionOf(tfAac, "--bitrate"), 96);
    row.settings.Options.Set(OptionOf(tfAac, "--channels"), 1);
    row.settings.Options.Set(OptionOf(tfAac, "--rate"), 48000);
    ConvertCleanly(row, dir / "in.wav", dir / "out.m4a");
    EXPECT_EQ(Probe(dir / "out.m4a", "stream=channels"), "1");
    EXPECT_EQ(Probe(dir / "out.m4a", "stream=sample_rate"), "48000");
    EXPECT_NEAR(std::stod(Probe(dir / "out.m4a", "stream=bit_rate")), 96000, 12000);
    EXPECT_NEAR(double(DecodedFrames(dir / "out.m4a", 1)), 96000, 1);
}

class AlacRoundTrip : public ::testing::TestWithParam<Pcm> {};

// ALAC keeps the input's depth and rate and decodes bit for bit, by ffmpeg and by our source.
TEST_P(AlacRoundTrip, IsBitExact) {
    const Pcm p = GetParam();
    ScratchDir dir;
    TestRow row;
    const std::string samples = MakeWave(dir / "in.wav", p);
    row.settings.TargetFormat = tfAlac;
    ConvertCleanly(row, dir / "in.wav", dir / "out.m4a");
    EXPECT_EQ(Probe(dir / "out.m4a", "stream=codec_name"), "alac");
    EXPECT_EQ(Probe(dir / "out.m4a", "stream=sample_rate"), std::to_string(p.rate));
    EXPECT_EQ(Probe(dir / "out.m4a", "stream=bits_per_raw_sample"), std::to_string(p.bits));
    EXPECT_TRUE(Decoded(dir / "out.m4a", p.bits) == samples);
    ToWave(row, dir / "out.m4a", dir / "back.wav", p);
    EXPECT_TRUE(Decoded(dir / "back.wav", p.bits) == samples);
}

INSTANTIATE_TEST_SUITE_P(Formats, AlacRoundTrip,
                         ::testing::Values(Pcm{100000, 2, 44100, 16}, Pcm{50001, 2, 96000, 24},
                                           Pcm{4097, 1, 22050, 16}),
                         [](const auto& info) {
                             return std::to_string(info.param.bits) + "bit" +
                                    std::to_string(info.param.channels) + "ch" +
                                    std::to_string(info.param.rate);
                         });

// Empty, cut short and mislabelled files end as unreadable, and no output is made for those that
// cannot even be opened.
TEST(Mp4Conversion, BadInputsAreUnreadable) {
    ScratchDir dir;
    TestRow row;
    MakeWave(dir / "in.wav", Pcm{44100, 2, 44100, 16});
    row.settings.TargetFormat = tfAac;
    ConvertCleanly(row, dir / "in.wav", dir / "good.m4a");
    const std::string good = ReadFile(dir / "good.m4a");
    // The same with the index first, so that cutting it short leaves an index that promises more.
    Shell("ffmpeg -v error -i " + Quote(dir / "good.m4a") + " -c copy -movflags +faststart " +
          Quote(dir / "fast.m4a"));
    const std::string fast = ReadFile(dir / "fast.m4a");
    WriteFile(dir / "empty.m4a", "");
    WriteFile(dir / "cut.m4a", good.substr(0, good.size() / 2));
    WriteFile(dir / "cutfast.m4a", fast.substr(0, fast.size() * 2 / 3));
    std::filesystem::copy_file(dir / "in.wav", dir / "wave.m4a");
    Shell("ffmpeg -v error -i " + Quote(dir / "in.wav") + " -c:a libmp3lame -f mp3 " +
          Quote(dir / "mp3.m4a"));
    Shell("ffmpeg -v error -i " + Quote(dir / "in.wav") + " -c:a libmp3lame -f mp4 " +
          Quote(dir / "pcm.m4a"));
    row.settings.TargetFormat = tfWave;
    for (const char* name :
         {"empty.m4a", "cut.m4a", "cutfast.m4a", "wave.m4a", "mp3.m4a", "pcm.m4a"}) {
        const std::string out = dir / (std::string(name) + ".wav");
        wavetest::UseWaveOutput(row, out, MakePcmFormat(2, 44100, 16));
        const auto c = Convert(row, dir / name, out);
        const bool failed =
            c.code == ConversionError::ceRead || row.result.InputError == ConversionError::ceRead;
        EXPECT_TRUE(failed) << name;
        if (c.code != ConversionError::ceNone) {
            EXPECT_FALSE(std::filesystem::exists(out)) << name;
        }
    }
}

// Without the module an .m4a input fails to load its codec, and an AAC or ALAC sink refuses to
// start and makes no file.
TEST(Mp4Conversion, WithoutTheModuleBothSidesRefuse) {
    ScratchDir dir;
    TestRow row({dir / "no-codecs/"});
    WriteFile(dir / "in.m4a", "anything");
    wavetest::UseWaveOutput(row, dir / "out.wav", MakePcmFormat(2, 44100, 16));
    EXPECT_EQ(Convert(row, dir / "in.m4a", dir / "out.wav").code, ConversionError::ceCodec);
    const WAVEFORMATEX pcm = MakePcmFormat(2, 44100, 16);
    for (const uint8_t target : {tfAac, tfAlac}) {
        row.settings.TargetFormat = target;
        bool ok = true;
        OutputSink holder(&pcm, row.At(dir / "out.m4a"), ok);
        EXPECT_FALSE(ok);
        EXPECT_FALSE(std::filesystem::exists(dir / "out.m4a"));
    }
}
