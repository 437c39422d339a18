// brindlex-convert with Opus and Vorbis inputs that lost a page or hold several links: every link
// converts sample for sample, or the row ends with the read line and leaves no output. Surround
// inputs keep their channels in the stream's order.
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <numeric>
#include <random>
#include <sstream>

#include "CliTestSupport.h"

using namespace clitest;
namespace fs = std::filesystem;

namespace {
class CliXiphPages : public ::testing::Test {
protected:
    ConfigHome config;
    TestFolder dir;

    // A tone made by sox, encoded by opusenc or oggenc (by the name's extension) with a serial.
    std::string Encode(const std::string& name, double seconds, int serial = 1) {
        const std::string wav = SoxTone(dir / "tone.wav", seconds), path = dir / name;
        const std::string s = std::to_string(serial);
        Shell(name.ends_with(".opus")
                  ? "opusenc --quiet --serial " + s + " " + Quote(wav) + " " + Quote(path)
                  : "oggenc -Q -s " + s + " -o " + Quote(path) + " " + Quote(wav));
        return path;
    }

    std::string Write(const std::string& name, const std::string& bytes) {
        WriteTextFile(dir / name, bytes);
        return dir / name;
    }
};

// Where the first page after the header pages (whose granule positions are 0) starts, and its
// length.
std::pair<size_t, size_t> FirstAudioPage(const std::string& ogg) {
    for (size_t at = 0; at + 27 < ogg.size();) {
        const size_t segments = static_cast<uint8_t>(ogg[at + 26]);
        size_t length = 27 + segments;
        for (size_t i = 0; i < segments; ++i)
            length += static_cast<uint8_t>(ogg[at + 27 + i]);
        if (ogg.compare(at + 6, 8, std::string(8, '\0')) != 0)
            return {at, length};
        at += length;
    }
    ADD_FAILURE() << "no audio page";
    return {0, 0};
}
} // namespace

// A byte flipped in the first audio page, that page removed, or single bits flipped anywhere in a
// 1 s Opus file: the file no longer holds what its stream says, whatever the number of jobs.
TEST_F(CliXiphPages, ADamagedOrLostPageFailsTheRow) {
    std::vector<std::string> inputs;
    for (const std::string name : {"opus.opus", "vorbis.ogg"}) {
        std::string bytes = ReadTextFile(Encode(name, 10.0));
        const auto [at, length] = FirstAudioPage(bytes);
        std::string flipped = bytes;
        flipped[at + length / 2] ^= 0x55;
        inputs.push_back(Write("flipped-" + name, flipped));
        inputs.push_back(Write("lost-" + name, bytes.erase(at, length)));
    }
    const std::string oneSecond = ReadTextFile(Encode("one.opus", 1.0));
    std::mt19937 random(28);
    for (int i = 0; i < 6; ++i) {
        std::string mutated = oneSecond;
        const size_t at = random() % mutated.size();
        mutated[at] ^= static_cast<char>(1 << random() % 8);
        inputs.push_back(Write("mutated" + std::to_string(i) + ".opus", mutated));
    }
    for (const char* jobs : {"1", "2"}) {
        SCOPED_TRACE(jobs);
        std::vector<std::string> args = {"-j", jobs, "--to", "flac", "--output-dir", dir / jobs};
        args.insert(args.end(), inputs.begin(), inputs.end());
        const Outcome o = Convert(dir, args);
        EXPECT_EQ(o.exitCode, 1) << o.err;
        for (const std::string& input : inputs) {
            EXPECT_NE(o.err.find("Unable to read from '" + input + "'."), std::string::npos)
                << o.err;
            EXPECT_FALSE(
                fs::exists(dir / (jobs + ("/" + fs::path(input).stem().string()) + ".flac")))
                << input;
        }
    }
}

// Chained files (links of 1.5 s and 5 s, 6.5 s in all) convert every link, sample for sample as
// the links convert alone; a file cut by ffmpeg that keeps its start in its first granule
// position converts as much as ffmpeg decodes of it.
TEST_F(CliXiphPages, EveryLinkAndAStartOffsetConvertWhole) {
    std::vector<std::string> args = {"--to", "flac", "--output-dir", dir / "out"};
    for (const std::string name : {"vorbis.ogg", "opus.opus"}) {
        const std::string first = Encode("first-" + name, 1.5, 11);
        const std::string second = Encode("second-" + name, 5.0, 22);
        args.insert(
            args.end(),
            {first, second, Write("chained-" + name, ReadTextFile(first) + ReadTextFile(second))});
    }
    const std::string late = dir / "late.opus";
    Shell("ffmpeg -v error -ss 3 -i " + Quote(Encode("tone.opus", 10.0)) + " -c copy -copyts " +
          Quote(late));
    args.push_back(late);
    const Outcome o = Convert(dir, args);
    ASSERT_EQ(o.exitCode, 0) << o.err;
    for (const std::string codec : {"vorbis", "opus"}) {
        SCOPED_TRACE(codec);
        const auto flac = [&](const std::string& part) {
            return Quote(dir / ("out/" + part + "-" + codec + ".flac"));
        };
        EXPECT_EQ(Shell("sox --i -s " + flac("chained")), codec == "vorbis" ? "286650" : "312000");
        EXPECT_EQ(Shell("sox " + flac("chained") + " -t raw - | md5sum"),
                  Shell("sox " + flac("first") + " " + flac("second") + " -t raw - | md5sum"));
    }
    EXPECT_EQ(
        Shell("sox --i -s " + Quote(dir / "out/late.flac")),
        Shell("echo $(($(ffmpeg -v error -i " + Quote(late) + " -f s16le -ac 1 - | wc -c) / 2))"));
}

namespace {
// The file's channels, loudest first, as sox measures them (the first level is the whole file's).
std::vector<int> ChannelsByLevel(const std::string& path) {
    std::istringstream words(Shell(
        "sox " + Quote(path) + " -n stats 2>&1 | awk '/RMS lev dB/ {$1=$2=$3=$4=\"\"; print}'"));
    const std::vector<double> levels((std::istream_iterator<double>(words)),
                                     std::istream_iterator<double>());
    std::vector<int> order(levels.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) { return levels[a] > levels[b]; });
    return order;
}
} // namespace

// Six channels, each 6 dB below the one before, encoded by oggenc and opusenc: both convert with
// their channels where libvorbisfile (sox) puts the Vorbis file's.
TEST_F(CliXiphPages, SurroundKeepsTheStreamsChannelOrder) {
    const std::string wav = dir / "six.wav", ogg = dir / "six-vorbis.ogg",
                      opus = dir / "six-opus.opus";
    Shell("sox -q -n -r 48000 -c 6 -b 16 " + Quote(wav) +
          " synth 2 sine 200 sine 300 sine 400 sine 500 sine 600 sine 700 remix 1v0.9 2v0.45 "
          "3v0.22 4v0.11 5v0.055 6v0.028");
    Shell("oggenc -Q -o " + Quote(ogg) + " " + Quote(wav) + " && opusenc --quiet " + Quote(wav) +
          " " + Quote(opus));
    const Outcome o = Convert(dir, {"--to", "flac", "--output-dir", dir / "out", ogg, opus});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const std::vector<int> expected = ChannelsByLevel(ogg);
    ASSERT_EQ(expected.size(), 6u);
    EXPECT_EQ(ChannelsByLevel(dir / "out/six-vorbis.flac"), expected);
    EXPECT_EQ(ChannelsByLevel(dir / "out/six-opus.flac"), expected);
}
