// brindlex-convert with the MP3 and WMA codec modules, and without them.
#include <filesystem>
#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "system/SettingsStore.h"

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

// "BitrateMode.VBR|bit rate|encoder settings" of an MP3 file, as mutagen reads its Xing tag.
std::string Mp3Mode(const std::string& path) {
    return Shell("/usr/bin/python3 -c " +
                 Quote("import sys, mutagen.mp3 as m; i = m.MP3(sys.argv[1]).info; "
                       "print(i.bitrate_mode, i.bitrate, i.encoder_settings, sep=chr(124))") +
                 " " + Quote(path));
}
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

// LAME's -V qualities, each as gapless as the constant rates: every input frame decodes again.
TEST_F(CliCodecs, ToMp3AtAVariableBitRate) {
    const std::string in = dir / "odd.wav";
    Shell("sox -q -n -r 44100 -c 2 -b 16 " + Quote(in) + " synth 3.0013 pinknoise gain -9");
    for (const char* quality : {"0", "9"}) {
        const std::string out = dir / quality;
        const Outcome o = Convert(dir, {"-q", "--to", "mp3", "--mp3-vbr", quality, "-o", out, in});
        ASSERT_EQ(o.exitCode, 0) << o.err;
        EXPECT_EQ(Mp3Mode(out + "/odd.mp3").substr(0, 16), "BitrateMode.VBR|");
        EXPECT_NE(Mp3Mode(out + "/odd.mp3").find("|-V " + std::string(quality)), std::string::npos);
        const std::string decoded =
            Shell("ffmpeg -v error -i " + Quote(out + "/odd.mp3") + " -f s16le -ac 1 - | wc -c");
        EXPECT_EQ(std::stol(decoded) / 2, SoxSamples(in)) << quality;
    }
    EXPECT_GT(fs::file_size(dir / "0/odd.mp3"), 2 * fs::file_size(dir / "9/odd.mp3"));
    const Outcome refused = Convert(dir, {"--to", "mp3", "--mp3-vbr", "10", in});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("--mp3-vbr takes a number from 0 to 9 for MP3\n"), std::string::npos)
        << refused.err;
}

// The window's choice is used until a bit rate is given; both at once are refused.
TEST_F(CliCodecs, AStoredVariableBitRateGivesWayToAGivenBitRate) {
    const std::string in = Tone("tone.wav", "-r 44100 -c 2 -b 16");
    StoreWriteNumber(2, StoreRoot::User, SettingsKey, "BrConvMP3Vbr");
    const Outcome stored = Convert(dir, {"--to", "mp3", "-y", in});
    ASSERT_EQ(stored.exitCode, 0) << stored.err;
    EXPECT_NE(stored.err.find("to MP3 V2 (about 190 kbit/s) 44100 Hz stereo"), std::string::npos)
        << stored.err;
    EXPECT_NE(Mp3Mode(dir / "tone.mp3").find("|-V 2"), std::string::npos);
    const Outcome given = Convert(dir, {"--to", "mp3", "--bitrate", "128", "-y", in});
    ASSERT_EQ(given.exitCode, 0) << given.err;
    EXPECT_EQ(Mp3Mode(dir / "tone.mp3").substr(0, 16), "BitrateMode.CBR|");
    EXPECT_EQ(Probe(dir / "tone.mp3", "bit_rate"), "128000");
    const Outcome both = Convert(dir, {"--to", "mp3", "--bitrate", "128", "--mp3-vbr", "2", in});
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_NE(both.err.find("--mp3-vbr and --bitrate exclude each other"), std::string::npos);
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
