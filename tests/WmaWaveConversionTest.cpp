// Windows Media Audio to and from WAVE through the engine: ffmpeg-made WMA files become WAVE
// files of the length ffprobe reports, sox-made WAVE files become WMA files that ffprobe and
// ffmpeg accept, and a failing or cancelled WAVE output stops the reader cleanly.
#include <sys/resource.h>

#include <csignal>
#include <cstring>

#include "acm/WaveFormatCatalog.h"
#include "tests/FormatConversionTestSupport.h"
#include "tests/Mp3TestSupport.h"
#include "tests/WaveTestSupport.h"
#include "tests/WmaTestSupport.h"

using namespace wmatest;

namespace {

// A WAVE output of 16-bit PCM; what the options form stores for it.
void UsePcmOutput(TestRow& row, uint16_t channels, uint32_t rate) {
    const std::vector<uint8_t> record =
        WaveFormatCatalog::MakeRecord(WAVE_FORMAT_PCM, channels, rate, 16);
    ASSERT_GE(record.size(), sizeof(WAVEFORMATEX));
    WAVEFORMATEX format{};
    std::memcpy(&format, record.data(), sizeof format);
    wavetest::UseWaveOutput(row, "", format, {record.begin() + sizeof format, record.end()});
}

// The channels of interleaved 16-bit PCM, one vector each.
std::vector<std::vector<int16_t>> Channels(const std::string& pcm, int channels) {
    const std::vector<int16_t> all = conversiontest::Samples16(pcm);
    std::vector<std::vector<int16_t>> out(static_cast<size_t>(channels));
    for (size_t i = 0; i < all.size(); ++i)
        out[i % out.size()].push_back(all[i]);
    return out;
}

// In a child process: converts with the file size limited to about half a second of the
// output and exits with 0 when the stream ended at the failed write with the error raised.
void ConvertIntoAFullDisk(TestRow& row, const std::string& in, const std::string& out) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{100000, 100000};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
        std::_Exit(10);
    const Conversion full = Convert(row, in, out);
    int result = row.result.WriteError ? 0 : 1;
    result |= full.ended ? 0 : 2;
    result |= full.progress[1] < 5000 ? 0 : 4; // no decoding on after the failure
    std::_Exit(result);
}

} // namespace

struct WmaInput {
    const char* codec;
    int rate;
    int channels;
    uint32_t outRate; // the WAVE output's format
    uint16_t outChannels;
};

void PrintTo(const WmaInput& p, std::ostream* os) {
    *os << p.codec << ' ' << p.rate << " Hz " << p.channels << " ch";
}

class WmaToWave : public ::testing::TestWithParam<WmaInput> {};

// The WAVE output holds the input's length by ffprobe, within one frame, and the tone.
TEST_P(WmaToWave, KeepsLengthAndTone) {
    TestRow row;
    const WmaInput p = GetParam();
    ScratchDir dir;
    const std::string in = dir / "in.wma";
    const std::string out = dir / "out.wav";
    MakeTone(in, p.rate, p.channels, 1.5, std::string("-c:a ") + p.codec + " -b:a 64k");
    UsePcmOutput(row, p.outChannels, p.outRate);
    const Conversion c = Convert(row, in, out);
    ASSERT_EQ(c.code, ConversionError::ceNone);
    EXPECT_TRUE(c.ended);
    EXPECT_FALSE(row.result.WriteError);
    EXPECT_EQ(row.result.InputError, ConversionError::ceNone);
    EXPECT_EQ(Probe(out, "stream=codec_name"), "pcm_s16le");
    EXPECT_EQ(Probe(out, "stream=sample_rate"), std::to_string(p.outRate));
    EXPECT_EQ(Probe(out, "stream=channels"), std::to_string(p.outChannels));

    // One WMA frame is at most 2048 samples at the input's rate; ffprobe's duration is in
    // milliseconds.
    const double inSeconds = Duration(in);
    const double frame = 2048.0 / p.rate + 0.0015;
    const std::string pcm = DecodeWithFfmpeg(out);
    const double frames = double(pcm.size()) / 2 / p.outChannels;
    EXPECT_NEAR(frames, inSeconds * p.outRate, frame * p.outRate);
    EXPECT_NEAR(Duration(out), inSeconds, frame);
    // What ffmpeg itself decodes from the input, at the output's rate.
    const double theirs = double(DecodeWithFfmpeg(in).size()) / 2 / p.channels;
    EXPECT_NEAR(frames, theirs * p.outRate / p.rate, p.outRate == uint32_t(p.rate) ? 0 : 4);
    EXPECT_NEAR(c.progress[0], inSeconds * 1000, 1.0);

    for (const auto& channel : Channels(pcm, p.outChannels))
        EXPECT_GT(conversiontest::SineSnr(channel, p.outRate, 440), 30.0);
}

INSTANTIATE_TEST_SUITE_P(FfmpegFiles, WmaToWave,
                         ::testing::Values(WmaInput{"wmav1", 44100, 2, 44100, 2},
                                           WmaInput{"wmav1", 22050, 1, 22050, 1},
                                           WmaInput{"wmav2", 22050, 1, 44100, 2},
                                           WmaInput{"wmav2", 32000, 2, 32000, 2},
                                           WmaInput{"wmav2", 48000, 2, 48000, 2}),
                         [](const auto& info) {
                             const WmaInput& p = info.param;
                             return std::string(p.codec) + "_" + std::to_string(p.rate) + "Hz" +
                                    std::to_string(p.channels) + "ch_to_" +
                                    std::to_string(p.outRate) + "Hz" +
                                    std::to_string(p.outChannels) + "ch";
                         });

struct WaveInput {
    const char* name;
    const char* sox; // format options of the file sox writes
    int rate;
    int channels;
    int kbits; // the quality entry
    int wmaRate;
    double minSnr; // of the tone after the round trip, in dB
};

void PrintTo(const WaveInput& p, std::ostream* os) {
    *os << p.name;
}

class WaveToWma : public ::testing::TestWithParam<WaveInput> {};

// ffprobe confirms the entry's format, ffmpeg decodes the input's length within one frame, and
// the tone comes back on both channels.
TEST_P(WaveToWma, MakesTheEntrysFormat) {
    TestRow row;
    const WaveInput p = GetParam();
    ScratchDir dir;
    const std::string in = dir / "in.wav";
    const std::string out = dir / "out.wma";
    Shell("sox -n " + std::string(p.sox) + " -r " + std::to_string(p.rate) + " -c " +
          std::to_string(p.channels) + " " + Quote(in) + " synth 2 sine 440 gain -6");
    SetQuality(row, p.kbits, p.wmaRate);
    const Conversion c = Convert(row, in, out);
    ASSERT_EQ(c.code, ConversionError::ceNone);
    EXPECT_TRUE(c.ended);
    EXPECT_FALSE(row.result.WriteError);
    EXPECT_EQ(Probe(out, "format=format_name"), "asf");
    EXPECT_EQ(Probe(out, "stream=codec_name"), "wmav2");
    EXPECT_EQ(Probe(out, "stream=bit_rate"), std::to_string(p.kbits * 1000));
    EXPECT_EQ(Probe(out, "stream=sample_rate"), std::to_string(p.wmaRate));
    EXPECT_EQ(Probe(out, "stream=channels"), "2");

    const std::string pcm = DecodeWithFfmpeg(out);
    const double frames = double(pcm.size()) / 4;
    EXPECT_NEAR(frames, Duration(in) * p.wmaRate, 2048 + 2);
    const auto channels = Channels(pcm, 2);
    for (const auto& channel : channels)
        EXPECT_GT(conversiontest::SineSnr(channel, p.wmaRate, 440), p.minSnr);
    if (p.channels == 1) { // a mono input is the same on both sides
        EXPECT_GT(mp3test::Correlation(channels[0], channels[1]), 0.99);
    }
}

INSTANTIATE_TEST_SUITE_P(
    SoxFiles, WaveToWma,
    ::testing::Values(WaveInput{"s16_stereo_44100_at_160k", "-b 16", 44100, 2, 160, 44100, 30},
                      WaveInput{"u8_mono_22050_at_64k_32000", "-b 8 -e unsigned", 22050, 1, 64,
                                32000, 25},
                      WaveInput{"s24_stereo_48000_at_128k", "-b 24", 48000, 2, 128, 44100, 30},
                      WaveInput{"s16_mono_8000_at_36k_32000", "-b 16", 8000, 1, 36, 32000, 15}),
    [](const auto& info) { return std::string(info.param.name); });

// Cancelling a WMA to WAVE conversion destroys the source while the reader is decoding: the
// reader stops before the WAVE sink completes the partial file, which is consistent, and nothing
// is written after that.
TEST(WmaToWaveFaults, CancellingLeavesAConsistentPartialFile) {
    TestRow row;
    ScratchDir dir;
    const std::string in = dir / "long.wma";
    const std::string out = dir / "partial.wav";
    MakeLongWma(in);
    UsePcmOutput(row, 2, 44100);
    const Conversion c = Convert(row, in, out, 3);
    EXPECT_EQ(c.code, ConversionError::ceNone);
    EXPECT_FALSE(c.ended);
    const auto size = std::filesystem::file_size(out);
    // The data chunk's size matches the file and what ffmpeg decodes from it.
    const std::string bytes = ReadFile(out);
    const size_t data = bytes.find("data");
    ASSERT_LT(data + 8, bytes.size());
    uint32_t dataBytes = 0;
    std::memcpy(&dataBytes, bytes.data() + data + 4, 4);
    EXPECT_EQ(data + 8 + dataBytes, size);
    EXPECT_EQ(DecodeWithFfmpeg(out).size(), dataBytes);
    EXPECT_GT(dataBytes, 0u);
    EXPECT_LT(Duration(out), 290.0);
}

// A WAVE output that cannot be created ends before the reader starts; one that fills up ends
// the stream at the failed write, with the write error raised, instead of decoding on.
TEST(WmaToWaveFaults, AFailingOutputEndsTheStream) {
    TestRow row;
    ScratchDir dir;
    const std::string in = dir / "long.wma";
    MakeTone(in, 44100, 2, 30, "-c:a wmav2 -b:a 64k");
    UsePcmOutput(row, 2, 44100);
    Conversion c = Convert(row, in, dir / "missing/out.wav");
    EXPECT_EQ(c.code, ConversionError::ceOutput);
    EXPECT_EQ(c.pumps, 0);

    const std::string out = dir / "full.wav";
    EXPECT_EXIT(ConvertIntoAFullDisk(row, in, out), ::testing::ExitedWithCode(0), "");
}
