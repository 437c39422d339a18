// brindlex-convert with inputs that cannot be read whole (cut short, undecodable, failing to
// read, protected, not files at all) and outputs in folders that cannot be listed: no old output
// is ever replaced by a broken new one, and nothing hangs.
#include <sys/stat.h>

#include <filesystem>
#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "WaveTestSupport.h"
#include "WmaTestSupport.h"

using namespace clitest;
namespace fs = std::filesystem;

namespace {
class CliInputFaults : public ::testing::Test {
protected:
    ConfigHome config;
    TestFolder dir;

    std::string Sox(const std::string& name, double seconds, const std::string& format = "") {
        return SoxTone(dir / name, seconds, format);
    }

    std::string Ffmpeg(const std::string& name, double seconds, const std::string& codecArgs) {
        const std::string path = dir / name;
        Shell("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=" +
              std::to_string(seconds) + " -ac 2 " + codecArgs + " " + Quote(path));
        EXPECT_TRUE(fs::exists(path));
        return path;
    }

    std::string Write(const std::string& name, const std::string& bytes) {
        WriteTextFile(dir / name, bytes);
        return dir / name;
    }

    // The first `fraction` of a file, under another name.
    std::string Cut(const std::string& from, const std::string& name, double fraction) {
        const std::string bytes = ReadTextFile(from);
        return Write(name, bytes.substr(0, static_cast<size_t>(bytes.size() * fraction)));
    }
};

// An ASF file whose header promises a minute more play time than its packets hold.
std::string LongerPromise(std::string asf) {
    const std::string fileProperties(
        "\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65", 16);
    const size_t at = asf.find(fileProperties);
    EXPECT_NE(at, std::string::npos);
    uint64_t play = 0;
    std::memcpy(&play, asf.data() + at + 64, 8);
    play += 600000000; // 60 s in 100 ns
    asf.replace(at + 64, 8, std::string(reinterpret_cast<const char*>(&play), 8));
    return asf;
}

// Whether the converter may be run as user nobody here (as root), or runs unprivileged anyway.
bool CanRunUnprivileged(std::string& why) {
    if (getuid() != 0) {
        return true;
    }
    int status = 0;
    testtools::ShellOutput("setpriv --reuid=65534 --regid=65534 --clear-groups test -x " +
                               Quote(ConverterPath()) + " 2>/dev/null",
                           status);
    why = "no unprivileged user can run " + ConverterPath();
    return status == 0;
}
} // namespace

// A folder that may be written but not listed (mode 0300) still holds its files: an existing
// output in it is listed and refused, and converting a file in place replaces it whole.
TEST_F(CliInputFaults, AFolderThatCannotBeListedStillHoldsItsOutputs) {
    std::string why;
    if (!CanRunUnprivileged(why)) {
        GTEST_SKIP() << why;
    }
    const std::string music = dir / "music";
    const std::string home = dir / "home";
    fs::create_directories(music);
    fs::create_directories(home);
    Sox("music/x.wav", 1.0);
    const std::string y = Sox("music/y.wav", 10.0);
    WriteTextFile(music + "/x.mp3", "OLD MP3");
    const std::string yBytes = ReadTextFile(y);
    // The converter runs as an unprivileged user, for whom the folder's mode is what counts.
    std::vector<std::string> prefix;
    if (getuid() == 0) {
        Shell("chown -R 65534:65534 " + Quote(music) + " " + Quote(home) + " && chmod 0711 " +
              Quote(dir.Path()));
        prefix = {"--reuid=65534", "--regid=65534", "--clear-groups", ConverterPath()};
    }
    fs::permissions(music, fs::perms::owner_write | fs::perms::owner_exec);
    const ScopedEnv configHome("XDG_CONFIG_HOME", home + "/config");
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), prefix.begin(), prefix.end());
        return Convert(dir, args, 0, prefix.empty() ? ConverterPath() : "/usr/bin/setpriv");
    };

    Outcome o = run({"--to", "mp3", music + "/x.wav"});
    EXPECT_EQ(o.exitCode, 3) << o.err;
    EXPECT_NE(o.err.find(music + "/x.mp3"), std::string::npos) << o.err;
    o = run({"--to", "wav", "--wave-format", "alaw:1:8000:8", "--overwrite", y});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    fs::permissions(music, fs::perms::owner_all);
    EXPECT_EQ(ReadTextFile(music + "/x.mp3"), "OLD MP3");
    EXPECT_EQ(Probe(y, "codec_tag"), "0x0006");
    EXPECT_NEAR(SoxSamples(y), 80000, 2);
    EXPECT_TRUE(Leftovers(music).empty());
}

// FIFOs named like audio files are refused at once, whatever their type, and the job goes on;
// Ctrl-C then stops it as usual.
TEST_F(CliInputFaults, AFifoAsInputEndsAtOnceAndCtrlCStillWorks) {
    const char* const fifos[] = {"a.wav", "b.mp3", "c.wma"};
    std::vector<std::string> args = {"--to", "wav", "--output-dir", dir / "out"};
    for (const char* name : fifos) {
        ASSERT_EQ(mkfifo((dir / name).c_str(), 0600), 0);
        args.push_back(dir / name);
    }
    fs::create_directory(dir / "out");
    const Outcome o = Convert(dir, args);
    EXPECT_EQ(o.exitCode, 1) << o.err;
    for (const char* name : fifos) {
        EXPECT_NE(o.err.find("\nUnable to read from '" + dir / name + "'.\n"), std::string::npos)
            << o.err;
    }
    EXPECT_TRUE(fs::is_empty(dir / "out"));

    const std::string hour = MakeSilentHour(dir / "hour.wav");
    const Spawned s = Spawn(dir, {"--to", "wav", "--wave-format", "ima-adpcm:2:44100:4",
                                  "--output-dir", dir / "out", dir / "a.wav", hour});
    const bool started =
        WaitForGrowth([&] { return UnnamedFileOf(s.pid, dir / "out"); }, 64 * 1024);
    kill(s.pid, SIGINT);
    const Outcome stopped = Wait(s);
    ASSERT_TRUE(started) << stopped.err;
    EXPECT_EQ(stopped.exitCode, 130) << stopped.err;
}

// Inputs that promise more than they hold, or hold what cannot be decoded: whatever converts
// stays out of the way, each gets the read line, and the old outputs stay as they were.
TEST_F(CliInputFaults, CutAndUndecodableInputsNeverReplaceAnOldOutput) {
    using wavetest::Chunk, wavetest::FmtPayload, wavetest::Riff, wavetest::U16, wavetest::U32;
    const WAVEFORMATEX mp3{WAVE_FORMAT_MPEGLAYER3, 2, 44100, 16000, 1, 0, 12};
    const std::string mp3Extra = U16(1) + U32(2) + U16(418) + U16(1) + U16(1393);
    std::string oddBlock = ReadTextFile(Sox("ima.wav", 3.0, "-e ima-adpcm"));
    oddBlock.replace(32, 2, U16(65535)); // the format's block align
    const std::vector<std::string> inputs = {
        Cut(Sox("whole.wav", 5.0), "cutwave.wav", 0.6),
        Write("oddblock.wav", oddBlock),
        Write("mp3noise.wav", Riff(Chunk("fmt ", FmtPayload(mp3, mp3Extra)) +
                                   Chunk("data", std::string(60000, '\x11')))),
        Cut(Ffmpeg("whole.mp3", 5.0, "-c:a libmp3lame"), "cutmp3.mp3", 0.5),
        Cut(Ffmpeg("whole.wma", 5.0, "-c:a wmav2"), "cutwma.wma", 0.5),
        Write("longwma.wma", LongerPromise(ReadTextFile(dir / "whole.wma"))),
    };
    fs::create_directory(dir / "out");
    std::vector<std::string> args = {"--to", "wav", "--output-dir", dir / "out", "--overwrite"};
    for (const std::string& input : inputs) {
        WriteTextFile(dir / "out" / fs::path(input).replace_extension(".wav").filename(), "OLD");
        args.push_back(input);
    }
    const Outcome o = Convert(dir, args);
    EXPECT_EQ(o.exitCode, 1) << o.err;
    EXPECT_EQ(o.err.find(" @ 0x"), std::string::npos) << o.err; // no FFmpeg log line
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        EXPECT_NE(o.err.find("\nUnable to read from '" + input + "'.\n"), std::string::npos)
            << o.err;
        EXPECT_EQ(ReadTextFile(dir / "out" / fs::path(input).replace_extension(".wav").filename()),
                  "OLD");
    }
    EXPECT_TRUE(Leftovers(dir / "out").empty());
}

// Data that is no MP3 under an .mp3 name holds chance frame headers a decoder could
// resynchronise through into noise: AAC in MP4 and programs are unreadable. Real MP3s, tagged
// or not and with zero bytes before their first frame, convert whole.
TEST_F(CliInputFaults, OnlyWhatBeginsAsMp3IsReadAsMp3) {
    std::vector<std::string> refused = {
        Write("aac.mp3", ReadTextFile(Ffmpeg("aac.mp4", 10.0, "-ar 48000 -c:a aac")))};
    for (const char* program : {"/usr/bin/ls", "/usr/lib/x86_64-linux-gnu/libz.so.1"}) {
        const std::string name = fs::path(program).filename().string() + ".mp3";
        refused.push_back(Write(name, ReadTextFile(program)));
    }
    const std::string tone = Sox("tone.wav", 2.0);
    Shell("lame --quiet " + Quote(tone) + " " + Quote(dir / "plain.mp3"));
    Shell("lame --quiet --add-id3v2 --tt Tone " + Quote(tone) + " " + Quote(dir / "tagged.mp3"));
    const std::string plain = ReadTextFile(dir / "plain.mp3");
    std::string padded = ReadTextFile(dir / "tagged.mp3");
    padded.insert(padded.find("\xFF\xFB"), 5, '\0'); // after the tag, before the first frame
    const std::vector<std::string> read = {dir / "plain.mp3", dir / "tagged.mp3",
                                           Write("padded.mp3", padded),
                                           Write("zeros.mp3", std::string(7, '\0') + plain)};
    std::vector<std::string> args = {"--to", "wav", "--output-dir", dir / "out"};
    args.insert(args.end(), refused.begin(), refused.end());
    args.insert(args.end(), read.begin(), read.end());
    const Outcome o = Convert(dir, args);
    EXPECT_EQ(o.exitCode, 1) << o.err;
    for (const std::string& input : refused) {
        EXPECT_NE(o.err.find("\nUnable to read from '" + input + "'.\n"), std::string::npos)
            << o.err;
    }
    for (const std::string& input : read) {
        EXPECT_EQ(SoxSamples(dir / "out" / fs::path(input).replace_extension(".wav").filename()),
                  88200)
            << input;
    }
}

// A read that fails in the middle of an input (the source's reads fail past the first MiB):
// the read line, and the old output stays.
TEST_F(CliInputFaults, AReadFailureMidInputNeverReplacesAnOldOutput) {
    const std::string in = Sox("in.wav", 10.0);
    fs::create_directory(dir / "out");
    WriteTextFile(dir / "out/in.wav", "OLD");
    const Outcome o = Convert(dir, {"--to", "wav", "--output-dir", dir / "out", "--overwrite", in},
                              0, std::string(BMC_BINARY_DIR) + "/brindlex-convert-failing-read");
    EXPECT_EQ(o.exitCode, 1) << o.err;
    EXPECT_NE(o.err.find("\nUnable to read from '" + in + "'.\n"), std::string::npos) << o.err;
    EXPECT_EQ(ReadTextFile(dir / "out/in.wav"), "OLD");
    EXPECT_TRUE(Leftovers(dir / "out").empty());
}

// Protected WMA files, however their encryption object is filled, never replace an old output,
// and FFmpeg's own warning about them never reaches the terminal.
TEST_F(CliInputFaults, ProtectedWmaIsRecognisedByItsEncryptionObjects) {
    const std::string plain =
        ReadTextFile(Ffmpeg("plain.wma", 1.0, "-c:a wmav2 -metadata title=protected"));
    const std::vector<std::string> inputs = {
        Write("emptytype.wma", wmatest::ProtectedCopy(plain, "")),
        Write("extended.wma", wmatest::ProtectedCopy(plain, "", true)),
    };
    fs::create_directory(dir / "out");
    WriteTextFile(dir / "out/emptytype.mp3", "OLD");
    WriteTextFile(dir / "out/extended.mp3", "OLD");
    const Outcome o = Convert(
        dir, {"--to", "mp3", "--output-dir", dir / "out", "--overwrite", inputs[0], inputs[1]});
    EXPECT_EQ(o.exitCode, 1) << o.err;
    for (const std::string& input : inputs) {
        EXPECT_NE(o.err.find("\nProtected WMA file cannot convert '" + input + "'.\n"),
                  std::string::npos)
            << o.err;
    }
    EXPECT_EQ(ReadTextFile(dir / "out/emptytype.mp3"), "OLD");
    EXPECT_EQ(ReadTextFile(dir / "out/extended.mp3"), "OLD");
    EXPECT_EQ(o.err.find("stream detected"), std::string::npos) << o.err;
    EXPECT_EQ(o.err.find("[asf @"), std::string::npos) << o.err;
}

// Compressed WAVE outputs carry their length in a fact chunk: players built on FFmpeg show
// 30 s of input as exactly 30 s, resampled or not.
TEST_F(CliInputFaults, CompressedOutputsKnowTheirDuration) {
    const std::string in = Sox("thirty.wav", 30.0);
    for (const char* format :
         {"ima-adpcm:2:44100:4", "ms-adpcm:2:44100:4", "ima-adpcm:1:22050:4"}) {
        SCOPED_TRACE(format);
        fs::create_directory(dir / format);
        const Outcome o = Convert(
            dir, {"--to", "wav", "--wave-format", format, "--output-dir", dir / format, in});
        ASSERT_EQ(o.exitCode, 0) << o.err;
        EXPECT_EQ(Shell("ffprobe -v error -show_entries format=duration -of csv=p=0 " +
                        Quote(dir / format + "/thirty.wav")),
                  "30.000000");
    }
}

// RF64, the 64-bit WAVE that ffmpeg writes on request, converts sample for sample.
TEST_F(CliInputFaults, Rf64InputIsRead) {
    const std::string in = Ffmpeg("rf64.wav", 2.0, "-c:a pcm_s16le -rf64 always");
    ASSERT_EQ(ReadTextFile(in).substr(0, 4), "RF64");
    fs::create_directory(dir / "out");
    const Outcome o = Convert(dir, {"--to", "wav", "--output-dir", dir / "out", in});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(Shell("ffmpeg -v error -i " + Quote(in) + " -f s16le - | md5sum"),
              Shell("ffmpeg -v error -i " + Quote(dir / "out/rf64.wav") + " -f s16le - | md5sum"));
    EXPECT_EQ(SoxSamples(dir / "out/rf64.wav"), 88200);
}
