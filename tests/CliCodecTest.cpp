// brindlex-convert with the MP3 and WMA codec modules, and without them.
#include <filesystem>
#include <gtest/gtest.h>

#include "CliTestSupport.h"

using namespace clitest;
namespace fs = std::filesystem;

namespace {
class CliCodecs : public ::testing::Test {
protected:
    ConfigHome config;
    TestFolder dir;

    std::string Tone(const std::string& name, const std::string& soxFormat) {
        const std::string path = dir / name;
        Shell("sox -q -n " + soxFormat + " " + Quote(path) + " synth 2 sine 440 gain -6");
        EXPECT_TRUE(fs::exists(path));
        return path;
    }

    // Duration in seconds of the first audio stream, as ffprobe decodes it.
    double DecodedSeconds(const std::string& path) {
        const std::string samples =
            Shell("ffmpeg -v error -i " + Quote(path) + " -f s16le -ac 1 - | wc -c");
        const int rate = std::stoi(Probe(path, "sample_rate"));
        return std::stod(samples) / 2.0 / rate;
    }

    // A copy of the converter in a folder without codec modules beside it.
    std::string ConverterWithoutModules() {
        const std::string lonely = dir / "lonely";
        fs::create_directory(lonely);
        const std::string copy = lonely + "/brindlex-convert";
        fs::copy_file(ConverterPath(), copy);
        fs::permissions(copy, fs::perms::owner_exec, fs::perm_options::add);
        return copy;
    }
};
} // namespace

TEST_F(CliCodecs, ToMp3WithTheChosenEncoderSettings) {
    const std::string in = Tone("tone.wav", "-r 44100 -c 2 -b 16");
    const Outcome o =
        Convert(dir, {"--to", "mp3", "--bitrate", "96", "--rate", "32000", "--mono", in});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const std::string out = dir / "tone.mp3";
    EXPECT_EQ(ProbeAll(out, "codec_name,sample_rate,channels,bit_rate"),
              "codec_name=mp3\nsample_rate=32000\nchannels=1\nbit_rate=96000");
    EXPECT_NEAR(DecodedSeconds(out), 2.0, 0.05);
}

TEST_F(CliCodecs, ToWmaAtAQualityEntryAndBackToWave) {
    const std::string in = Tone("tone.wav", "-r 22050 -c 1 -b 16");
    const Outcome o = Convert(dir, {"--to", "wma", "--wma-quality", "7", in});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const std::string wma = dir / "tone.wma";
    EXPECT_EQ(ProbeAll(wma, "codec_name,sample_rate,channels"),
              "codec_name=wmav2\nsample_rate=32000\nchannels=2");
    EXPECT_NEAR(DecodedSeconds(wma), 2.0, 0.07);

    fs::remove(in);
    const Outcome back = Convert(dir, {"--to", "wav", "--wave-format", "pcm:2:32000:16", wma});
    ASSERT_EQ(back.exitCode, 0) << back.err;
    EXPECT_NEAR(SoxSamples(dir / "tone.wav") / 32000.0, 2.0, 0.07);
}

TEST_F(CliCodecs, WithoutTheWmaModuleAJobThatNeedsItIsRefusedWhole) {
    const std::string converter = ConverterWithoutModules();
    const std::string searched = "; looked in " + dir / "lonely/codecs/";
    const std::string wav = Tone("tone.wav", "-r 44100 -c 2 -b 16");
    const Outcome to = Convert(dir, {"--to", "wma", wav}, 0, converter);
    EXPECT_EQ(to.exitCode, 4);
    EXPECT_NE(to.err.find("the WMA module libbmc-wma.so is missing" + searched), std::string::npos)
        << to.err;
    EXPECT_FALSE(fs::exists(dir / "tone.wma"));

    const std::string wma = dir / "song.WMA";
    fs::copy_file(wav, wma);
    const Outcome from = Convert(dir, {"--to", "wav", wav, wma}, 0, converter);
    EXPECT_EQ(from.exitCode, 4);
    EXPECT_NE(from.err.find("the WMA module libbmc-wma.so is missing"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "song.wav"));
}

TEST_F(CliCodecs, WithoutTheMp3ModulesAJobThatNeedsThemIsRefusedWholeAndWaveGoesOn) {
    const std::string converter = ConverterWithoutModules();
    const std::string wav = Tone("tone.wav", "-r 44100 -c 2 -b 16");
    const Outcome to = Convert(dir, {"--to", "mp3", wav}, 0, converter);
    EXPECT_EQ(to.exitCode, 4);
    EXPECT_NE(to.err.find("the MP3 encoder module libbmc-mp3enc.so is missing; looked in " +
                          dir / "lonely/codecs/"),
              std::string::npos)
        << to.err;
    EXPECT_FALSE(fs::exists(dir / "tone.mp3"));

    const std::string mp3 = dir / "song.mp3";
    Shell("lame --quiet -b 128 " + Quote(wav) + " " + Quote(mp3));
    const std::string out = dir / "out";
    const Outcome from = Convert(dir, {"--to", "wav", "--output-dir", out, mp3, wav}, 0, converter);
    EXPECT_EQ(from.exitCode, 4);
    EXPECT_NE(from.err.find("the MP3 decoder module libbmc-mp3dec.so is missing"),
              std::string::npos)
        << from.err;
    EXPECT_FALSE(fs::exists(out));

    const Outcome wave = Convert(dir, {"--to", "wav", "--output-dir", out, wav}, 0, converter);
    EXPECT_EQ(wave.exitCode, 0) << wave.err;
    EXPECT_EQ(SoxSamples(out + "/tone.wav"), SoxSamples(wav));
}
