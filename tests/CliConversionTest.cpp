// brindlex-convert end to end: inputs made by sox and ffmpeg, outputs checked by ffprobe and sox.
#include <filesystem>
#include <gtest/gtest.h>

#include "CliTestSupport.h"

using namespace clitest;
namespace fs = std::filesystem;

namespace {
struct Expect {
    std::string tag; // as ffprobe prints it, e.g. 0x0011
    int rate;
    int channels;
    long tolerance; // samples: one output codec block
};

class CliConversion : public ::testing::Test {
protected:
    ConfigHome config;
    TestFolder dir;

    std::string Make(const std::string& name, const std::string& soxFormat, double seconds = 1.3) {
        const std::string path = dir / name;
        Shell("sox -q -n " + soxFormat + " " + Quote(path) + " synth " + std::to_string(seconds) +
              " sine 300-3000 gain -3");
        EXPECT_TRUE(fs::exists(path)) << soxFormat;
        return path;
    }

    // Every kind of input the tools make, converted in one job into formatText.
    void ConvertEveryInputKind(const std::string& formatText, const Expect& e) {
        std::vector<std::pair<std::string, int>> inputs = {
            {Make("u8mono.wav", "-r 22050 -c 1 -b 8 -e unsigned-integer"), 22050},
            {Make("s16stereo.wav", "-r 44100 -c 2 -b 16"), 44100},
            {Make("s24.wav", "-r 48000 -c 2 -b 24"), 48000}, // sox writes it extensible
            {Make("float.wav", "-r 32000 -c 1 -b 32 -e floating-point"), 32000},
            {Make("alaw.wav", "-r 8000 -c 1 -e a-law"), 8000},
            {Make("mulaw.wav", "-r 8000 -c 1 -e u-law"), 8000},
            {Make("ima.wav", "-r 22050 -c 1 -e ima-adpcm"), 22050},
            {Make("msadpcm.wav", "-r 22050 -c 2 -e ms-adpcm"), 22050},
        };
        ASSERT_EQ(ReadTextFile(inputs[2].first).substr(20, 2), "\xfe\xff");
        const std::string out = dir / "out";
        fs::create_directory(out);
        std::vector<std::string> args = {"--to",     "wav",          "--wave-format",
                                         formatText, "--output-dir", out};
        for (const auto& input : inputs) {
            args.push_back(input.first);
        }
        const Outcome o = Convert(dir, args);
        ASSERT_EQ(o.exitCode, 0) << formatText << "\n" << o.err;
        const std::string expectedProbe = "codec_tag=" + e.tag +
                                          "\nsample_rate=" + std::to_string(e.rate) +
                                          "\nchannels=" + std::to_string(e.channels);
        for (const auto& [input, inputRate] : inputs) {
            const std::string output = out + "/" + fs::path(input).filename().string();
            EXPECT_EQ(ProbeAll(output, "codec_tag,sample_rate,channels"), expectedProbe) << output;
            const long expected = SoxSamples(input) * e.rate / inputRate;
            const long got = SoxSamples(output);
            EXPECT_LE(std::labs(got - expected), e.tolerance)
                << output << ": " << got << " samples, expected " << expected;
        }
    }
};
} // namespace

TEST_F(CliConversion, EveryInputKindToStereoPcm) {
    ConvertEveryInputKind("pcm:2:44100:16", {"0x0001", 44100, 2, 2});
}

TEST_F(CliConversion, EveryInputKindToALaw) {
    ConvertEveryInputKind("alaw:1:8000:8", {"0x0006", 8000, 1, 2});
}

TEST_F(CliConversion, EveryInputKindToImaAdpcmByTagNumber) {
    ConvertEveryInputKind("0x11:1:22050:4", {"0x0011", 22050, 1, 1024});
}

TEST_F(CliConversion, ExtensibleInputWithFourChannels) {
    const std::string extensible = dir / "four.wav";
    Shell("ffmpeg -nostdin -loglevel error -f lavfi -i sine=f=440:d=1.2:r=48000 -af "
          "'pan=4c|c0=c0|c1=c0|c2=c0|c3=c0' -c:a pcm_s16le " +
          Quote(extensible));
    ASSERT_EQ(ReadTextFile(extensible).substr(20, 2), "\xfe\xff");
    const Outcome o = Convert(dir, {"--to", "wav", "--wave-format", "ms-adpcm:2:44100:4",
                                    "--output-dir", dir.Path(), "--overwrite", extensible});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(ProbeAll(extensible, "codec_tag,sample_rate,channels"),
              "codec_tag=0x0002\nsample_rate=44100\nchannels=2");
    EXPECT_NEAR(SoxSamples(extensible), 1.2 * 44100, 2048);
}

TEST_F(CliConversion, LosslessConversionsKeepEverySample) {
    const std::string s16 = Make("s16.wav", "-r 44100 -c 2 -b 16");
    const std::string u8 = Make("u8.wav", "-r 11025 -c 1 -b 8 -e unsigned-integer");
    const std::string alaw = Make("alaw.wav", "-r 8000 -c 1 -e a-law");
    fs::create_directory(dir / "a");
    fs::create_directory(dir / "b");
    fs::create_directory(dir / "c");
    ASSERT_EQ(Convert(dir, {"--to", "wav", "--wave-format", "pcm:2:44100:16", "--output-dir",
                            dir / "a", s16})
                  .exitCode,
              0);
    ASSERT_EQ(Convert(dir, {"--to", "wav", "--wave-format", "pcm:1:11025:16", "--output-dir",
                            dir / "b", u8})
                  .exitCode,
              0);
    ASSERT_EQ(Convert(dir, {"--to", "wav", "--wave-format", "pcm:1:8000:16", "--output-dir",
                            dir / "c", alaw})
                  .exitCode,
              0);
    EXPECT_EQ(SoxRaw16(dir / "a/s16.wav"), SoxRaw16(s16));
    EXPECT_EQ(SoxRaw16(dir / "b/u8.wav"), SoxRaw16(u8));
    EXPECT_EQ(SoxRaw16(dir / "c/alaw.wav"), SoxRaw16(alaw));
    EXPECT_EQ(Probe(dir / "b/u8.wav", "bits_per_sample"), "16");

    // Floats stay floats, to the bit, and a FLAC of them keeps 24 bits.
    const std::string f32 = Make("f32.wav", "-r 48000 -c 2 -b 32 -e floating-point");
    for (const std::string target : {"--wave-format=float:2:48000:32", "--to=flac"})
        ASSERT_EQ(Convert(dir, {target, "-q", "-o", dir / "d", f32}).exitCode, 0) << target;
    const auto raw = [](const std::string& path) {
        return Shell("sox " + Quote(path) + " -t f32 - | md5sum");
    };
    EXPECT_EQ(raw(dir / "d/f32.wav"), raw(f32));
    EXPECT_EQ(Probe(dir / "d/f32.flac", "bits_per_raw_sample"), "24");
}

// A 20 Hz-20 kHz sweep taken between 44.1 and 48 kHz both ways comes out as sox synthesizes the
// same sweep at the new rate, to within 96 dB: the resampler's pass band stays flat to its top,
// and nothing on the way holds the floats at 16 bits (which would end near 94 dB).
TEST_F(CliConversion, RateChangesKeepASweepClean) {
    const auto sweep = [&](const std::string& name, int rate) {
        Shell("sox -q -n -r " + std::to_string(rate) + " -c 1 -b 32 -e floating-point " +
              Quote(dir / name) + " synth 10 sine 20:20000 gain -3");
        return dir / name;
    };
    const auto rms = [](const std::string& soxInput) {
        return std::stod(
            Shell("sox " + soxInput + " -n trim 0.5 9 stats 2>&1 | awk '/RMS lev dB/ {print $4}'"));
    };
    for (const auto& [from, to] : {std::pair{44100, 48000}, std::pair{48000, 44100}}) {
        SCOPED_TRACE(from);
        const std::string input = sweep("from.wav", from), ideal = Quote(sweep("ideal.wav", to));
        ASSERT_EQ(Convert(dir, {"-y", "--to", "wav", "--wave-format",
                                "float:1:" + std::to_string(to) + ":32", "--output-dir",
                                dir / "out", input})
                      .exitCode,
                  0);
        const std::string error = "-m -v 1 " + Quote(dir / "out/from.wav") + " -v -1 " + ideal;
        EXPECT_GE(rms(ideal) - rms(error), 96.0);
    }
}

TEST_F(CliConversion, FoldersAndDefaultsFromTheStore) {
    fs::create_directories(dir / "music/sub");
    Make("music/one.wav", "-r 44100 -c 2 -b 16", 0.5);
    Make("music/sub/two.wav", "-r 44100 -c 2 -b 16", 0.5);
    WriteTextFile(dir / "music/notes.txt", "not audio");
    // No stored target and no WaveCompress.bin: WAVE, 16-bit stereo PCM at 44100 Hz.
    fs::create_directory(dir / "flat");
    Outcome o = Convert(dir, {"--output-dir", dir / "flat", dir / "music"});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_TRUE(fs::exists(dir / "flat/one.wav"));
    EXPECT_FALSE(fs::exists(dir / "flat/two.wav"));   // not recursive
    EXPECT_FALSE(fs::exists(dir / "flat/notes.wav")); // a folder's non-audio files are skipped
    EXPECT_EQ(Probe(dir / "flat/one.wav", "codec_tag"), "0x0001");

    // The WAVE output format kept in WaveCompress.bin is the default: here A-law, 8 kHz mono.
    std::string image(5096, '\0');
    const unsigned char alaw[18] = {6, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0, 1, 0, 8, 0};
    image.replace(0, 18, reinterpret_cast<const char*>(alaw), 18);
    fs::create_directories(config.StoreFolder());
    WriteTextFile(config.StoreFolder() + "WaveCompress.bin", image);
    fs::create_directory(dir / "rec");
    o = Convert(dir, {"--output-dir", dir / "rec", "--recursive", dir / "music"});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_TRUE(fs::exists(dir / "rec/sub/two.wav")); // the folder tree is kept
    EXPECT_EQ(Probe(dir / "rec/sub/two.wav", "codec_tag"), "0x0006");
    EXPECT_EQ(Probe(dir / "rec/one.wav", "sample_rate"), "8000");
}

TEST_F(CliConversion, ProgressLinesAndErrorsWithoutATerminal) {
    const std::string good = Make("good.wav", "-r 44100 -c 2 -b 16", 0.5);
    const std::string bad = dir / "bad.wav";
    WriteTextFile(bad, "RIFF....WAVEjunk");
    const std::string notes = dir / "notes.txt";
    WriteTextFile(notes, "x");
    fs::create_directory(dir / "out");
    // One file after another, so the counter of each line is known.
    const Outcome o =
        Convert(dir, {"-j", "1", "--to", "wav", "--output-dir", dir / "out", good, bad, notes});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find("Converted 0 of 3: Writing '" + dir / "out/good.wav'\n"),
              std::string::npos)
        << o.err;
    EXPECT_NE(o.err.find("Converted 1 of 3: Writing '" + dir / "out/bad.wav'\n"),
              std::string::npos);
    EXPECT_NE(o.err.find("\nUnable to read from '" + bad + "'.\n"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("\n'.txt' file type is not supported. Error whilst converting '" + notes +
                         "'.\n"),
              std::string::npos)
        << o.err;
    EXPECT_TRUE(fs::exists(dir / "out/good.wav"));
}

TEST_F(CliConversion, AMissingOutputFolderIsMadeAndAnUnusableOneStopsTheJob) {
    const std::string a = Make("a.wav", "-r 8000 -c 1 -b 16", 0.2);
    Outcome o = Convert(dir, {"--to", "wav", "--output-dir", dir / "new/deeper", a});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NEAR(SoxSamples(dir / "new/deeper/a.wav"), SoxSamples(a) * 44100 / 8000, 2);

    WriteTextFile(dir / "file", "not a folder");
    for (const std::string& folder : {dir / "file", dir / "file/below"}) {
        o = Convert(dir, {"--to", "wav", "--output-dir", folder, a});
        EXPECT_EQ(o.exitCode, 2) << folder;
        // One line naming the folder and why, instead of a line for every input.
        EXPECT_NE(o.err.find("'" + folder + "'"), std::string::npos) << o.err;
        EXPECT_EQ(o.err.find("Device output error"), std::string::npos) << o.err;
    }
    EXPECT_EQ(ReadTextFile(dir / "file"), "not a folder");
}

TEST_F(CliConversion, UsageErrors) {
    const std::string a = Make("a.wav", "-r 8000 -c 1 -b 16", 0.2);
    EXPECT_EQ(Convert(dir, {}).exitCode, 2);
    EXPECT_EQ(Convert(dir, {"--to", "aiff", a}).exitCode, 2);
    EXPECT_EQ(Convert(dir, {"--frobnicate", a}).exitCode, 2);
    EXPECT_EQ(Convert(dir, {"--to"}).exitCode, 2);
    EXPECT_EQ(Convert(dir, {dir / "missing.wav"}).exitCode, 2);
    EXPECT_EQ(Convert(dir, {"--to", "wav", "--bitrate", "128", a}).exitCode, 2);
    EXPECT_EQ(Convert(dir, {"--to", "mp3", "--bitrate", "127", a}).exitCode, 2);
    EXPECT_EQ(Convert(dir, {"--to", "wma", "--wma-quality", "8", a}).exitCode, 2);
    EXPECT_EQ(Convert(dir, {"--wave-format", "pcm:2:44100", a}).exitCode, 2);
    EXPECT_EQ(Convert(dir, {"--wave-format", "opus:2:48000:16", a}).exitCode, 2);
    const Outcome impossible = Convert(dir, {"--wave-format", "ima-adpcm:2:44100:16", a});
    EXPECT_EQ(impossible.exitCode, 2);
    // The message names what exists for that tag.
    EXPECT_NE(impossible.err.find("2:44100:4"), std::string::npos) << impossible.err;
    const Outcome help = Convert(dir, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Usage: brindlex-convert"), std::string::npos);
}
