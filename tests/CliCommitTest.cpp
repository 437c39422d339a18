// What a conversion leaves at its output's name: the whole new file with its tags, the old file as
// it was, or nothing; never part of a file, whether the input held no audio, the disk filled up,
// or the process was killed at any moment of the row.
#include <sys/mount.h>
#include <sys/stat.h>

#include <filesystem>
#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "WaveTestSupport.h"

using namespace clitest;
namespace fs = std::filesystem;
using wavetest::Chunk, wavetest::FmtPayload, wavetest::Riff, wavetest::U16, wavetest::U32;

namespace {
constexpr long OneSecond = 44100;
const std::string OldBytes = "the old output\n";

// Sample frames as ffmpeg decodes them.
long DecodedFrames(const std::string& path) {
    const std::string bytes =
        Shell("ffmpeg -v error -i " + Quote(path) + " -f s16le -ac 2 - | wc -c");
    return bytes.empty() ? -1 : std::stol(bytes) / 4;
}

// One second of a tone as 16-bit stereo PCM at 44100 Hz, without a header.
std::string OneSecondOfPcm(const TestFolder& dir) {
    const std::string raw = dir / "tone.raw";
    Shell("sox -q -n -r 44100 -c 2 -b 16 -e signed-integer -t raw " + Quote(raw) +
          " synth 1 sine 440 gain -3");
    return ReadTextFile(raw);
}

std::string PcmFormat() {
    return FmtPayload(WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0});
}

// WAVE inputs without audio, or whose sizes a recorder that died left open.
enum class Input { Empty, DataSizeZero, OpenRf64 };

std::string MakeInput(Input kind, const TestFolder& dir) {
    const std::string path = dir / "in.wav";
    const std::string pcm = OneSecondOfPcm(dir);
    switch (kind) {
    case Input::Empty:
        Shell("sox -q -n -r 44100 -c 2 -b 16 " + Quote(path) + " trim 0 0");
        break;
    case Input::DataSizeZero:
        WriteTextFile(path, Riff(Chunk("fmt ", PcmFormat()) + "data" + U32(0) + pcm));
        break;
    case Input::OpenRf64: {
        const std::string ds64 = Chunk("ds64", std::string(28, '\0'));
        WriteTextFile(path, "RF64" + U32(0xFFFFFFFF) + "WAVE" + ds64 + Chunk("fmt ", PcmFormat()) +
                                "data" + U32(0xFFFFFFFF) + pcm);
        break;
    }
    }
    return path;
}

using Case = std::tuple<Input, std::string, int>; // input, target, jobs

class AudiolessInputs : public ::testing::TestWithParam<Case> {
protected:
    ConfigHome config;
    TestFolder dir;
};
} // namespace

// With a second file in the job, -j 2 converts through worker processes. An input from which no
// sample frame can be read gets the read line and replaces nothing; one whose audio runs to the
// end of the file behind open sizes is converted whole.
TEST_P(AudiolessInputs, ReadToTheEndOrFailWithoutReplacing) {
    const auto& [kind, target, jobs] = GetParam();
    const std::string input = MakeInput(kind, dir);
    const std::string other = SoxTone(dir / "other.wav", 0.2);
    fs::create_directory(dir / "out");
    const std::string output = dir / ("out/in." + target);
    WriteTextFile(output, OldBytes);
    const Outcome o = Convert(
        dir, {"-y", "-j", std::to_string(jobs), "-t", target, "-o", dir / "out", input, other});
    if (kind == Input::Empty) {
        EXPECT_EQ(o.exitCode, 1) << o.err;
        EXPECT_NE(o.err.find("\nUnable to read from '" + input + "'.\n"), std::string::npos)
            << o.err;
        EXPECT_EQ(ReadTextFile(output), OldBytes);
        EXPECT_EQ(o.out, "1 converted, 1 failed, 0 skipped\n");
    } else {
        EXPECT_EQ(o.exitCode, 0) << o.err;
        // WMA's encoder works in frames of 2048 and its decoder drops what primes it.
        const long slack = target == "wma" ? 2048 : 0;
        EXPECT_NEAR(DecodedFrames(output), OneSecond, slack);
    }
    EXPECT_TRUE(Leftovers(dir / "out").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, AudiolessInputs,
    ::testing::Combine(::testing::Values(Input::Empty, Input::DataSizeZero, Input::OpenRf64),
                       ::testing::Values("wav", "mp3", "wma"), ::testing::Values(1, 2)));

namespace {
class Commit : public ::testing::Test {
protected:
    ConfigHome config;
    TestFolder dir;

    // A 3-second MP3 with a title and a cover, as lame tags it.
    std::string TaggedMp3() {
        const std::string wav = SoxTone(dir / "t.wav", 3.0);
        const std::string cover = dir / "cover.png";
        Shell("convert -size 64x64 xc:red " + Quote(cover));
        const std::string mp3 = dir / "song.mp3";
        Shell("lame --quiet -b 128 --tt Sunrise --ti " + Quote(cover) + " " + Quote(wav) + " " +
              Quote(mp3));
        EXPECT_TRUE(fs::exists(mp3));
        return mp3;
    }

    // Runs the conversion that stops at stage and kills it there.
    void KillAt(const std::string& stage, const std::string& input, const std::string& output) {
        const Spawned s = Spawn(dir, {stage, "mp3", input, output}, 0, BMC_KILL_POINT);
        bool reached = false;
        for (int i = 0; i < 6000 && !reached; ++i) {
            reached = ReadTextFile(s.outPath) == stage + "\n";
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        kill(s.pid, SIGKILL);
        const Outcome o = Wait(s);
        ASSERT_TRUE(reached) << o.err;
        EXPECT_EQ(o.exitCode, 128 + SIGKILL);
    }
};
} // namespace

// Killed while writing, while tagging or just before the output is put in place: a new output
// leaves nothing at its name and no temporary file, an old one stays as it was, and a later
// --skip-existing run converts the file.
TEST_F(Commit, AKillAtAnyMomentLeavesNothingAtTheOutputsName) {
    const std::string input = TaggedMp3();
    fs::create_directory(dir / "out");
    const std::string fresh = dir / "out/song.mp3";
    const std::string old = dir / "out/old.mp3";
    for (const std::string stage : {"writing", "tagging", "committing"}) {
        SCOPED_TRACE(stage);
        KillAt(stage, input, fresh);
        EXPECT_FALSE(fs::exists(fresh));
        WriteTextFile(old, OldBytes);
        KillAt(stage, input, old);
        EXPECT_EQ(ReadTextFile(old), OldBytes);
        EXPECT_TRUE(Leftovers(dir / "out").empty());
    }
    const Outcome o = Convert(dir, {"--skip-existing", "-t", "mp3", "-o", dir / "out", input});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out, "1 converted, 0 failed, 0 skipped\n");
    EXPECT_EQ(DecodedFrames(fresh), 3 * OneSecond);
    EXPECT_NE(Shell("mutagen-inspect " + Quote(fresh)).find("TIT2=Sunrise"), std::string::npos);
}

// Workers killed while converting (one of two, then every process of the job) leave nothing at
// the outputs' names.
TEST_F(Commit, KilledWorkersLeaveNothingAtTheOutputsNames) {
    const std::vector<std::string> inputs = {MakeSilentHour(dir / "a.wav"),
                                             MakeSilentHour(dir / "b.wav")};
    fs::create_directory(dir / "out");
    const std::vector<std::string> args = {
        "-j", "2",         "-t",      "wav",    "--wave-format", "ima-adpcm:2:44100:4",
        "-o", dir / "out", inputs[0], inputs[1]};
    const auto bothWriting = [&](const Spawned& s) {
        return WaitForGrowth([&] { return NthUnnamedFileOf(s.pid, dir / "out", 0); }, 64 << 10) &&
               WaitForGrowth([&] { return NthUnnamedFileOf(s.pid, dir / "out", 1); }, 64 << 10);
    };
    Spawned s = Spawn(dir, args);
    ASSERT_TRUE(bothWriting(s));
    kill(ChildrenOf(s.pid).front(), SIGKILL);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (const pid_t worker : ChildrenOf(s.pid)) {
        kill(worker, SIGKILL);
    }
    Outcome o = Wait(s);
    EXPECT_EQ(o.exitCode, 1) << o.err;
    EXPECT_NE(o.err.find("the conversion crashed (Killed)"), std::string::npos) << o.err;
    EXPECT_TRUE(fs::is_empty(dir / "out"));

    s = Spawn(dir, args);
    ASSERT_TRUE(bothWriting(s));
    const std::vector<pid_t> workers = ChildrenOf(s.pid);
    kill(s.pid, SIGKILL);
    for (const pid_t worker : workers) {
        kill(worker, SIGKILL);
    }
    o = Wait(s);
    EXPECT_EQ(o.exitCode, 128 + SIGKILL);
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the workers' ends
    EXPECT_TRUE(fs::is_empty(dir / "out"));
}

// A disk that fills up fails the file and leaves nothing at its name, also in a worker process.
TEST_F(Commit, AFullDiskLeavesNothingAtTheOutputsName) {
    const std::string input = SoxTone(dir / "long.wav", 20.0);
    const std::string full = dir / "full";
    fs::create_directory(full);
    if (mount("tmpfs", full.c_str(), "tmpfs", 0, "size=600k") != 0) {
        GTEST_SKIP() << "no small file system can be mounted here";
    }
    const std::unique_ptr<const char, int (*)(const char*)> mounted(full.c_str(), umount);
    for (const std::string jobs : {"1", "2"}) {
        SCOPED_TRACE(jobs);
        const Outcome o = Convert(dir, {"-j", jobs, "-t", "wav", "-o", full, input});
        EXPECT_EQ(o.exitCode, 1) << o.err;
        EXPECT_NE(
            o.err.find("\nUnable to write to '" + full + "/long.wav': no space left on device.\n"),
            std::string::npos)
            << o.err;
        EXPECT_TRUE(fs::is_empty(full));
    }
}

// PCM whose block alignment does not fit its samples, sample sizes no frame can be read by, and
// a WAVE file under a WMA name: the read line, never a cut or garbled output. Samples of 12 bits
// in two bytes are read whole.
TEST_F(Commit, InputsThatCannotBeReadSayTheyCannotBeRead) {
    const std::string pcm = OneSecondOfPcm(dir);
    const auto wave = [&](const std::string& name, WAVEFORMATEX f) {
        WriteTextFile(dir / name, Riff(Chunk("fmt ", FmtPayload(f)) + Chunk("data", pcm)));
        return dir / name;
    };
    const std::vector<std::string> unreadable = {
        wave("align.wav", {WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 65535, 16, 0}),
        wave("four.wav", {WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 4, 0}),
        wave("wide.wav", {WAVE_FORMAT_PCM, 2, 22050, 22050 * 12, 12, 48, 0}),
        SoxTone(dir / "wave.wma", 0.2, "-t wav"),
    };
    const std::string twelve = wave("twelve.wav", {WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 12, 0});
    fs::create_directory(dir / "out");
    std::vector<std::string> args = {"-t", "mp3", "-o", dir / "out", twelve};
    args.insert(args.end(), unreadable.begin(), unreadable.end());
    const Outcome o = Convert(dir, args);
    EXPECT_EQ(o.exitCode, 1) << o.err;
    for (const std::string& input : unreadable) {
        EXPECT_NE(o.err.find("\nUnable to read from '" + input + "'.\n"), std::string::npos)
            << o.err;
    }
    EXPECT_EQ(o.out, "1 converted, 4 failed, 0 skipped\n");
    EXPECT_EQ(DecodedFrames(dir / "out/twelve.mp3"), OneSecond);
}

// Replacing an output takes the permissions of the regular file it replaces, never the bits of
// a link's target or set-user-ID and the like.
TEST_F(Commit, AReplacedOutputTakesOnlyTheModeOfARegularFile) {
    const std::string input = SoxTone(dir / "in.wav", 0.2);
    fs::create_directory(dir / "out");
    const std::string program = dir / "program";
    WriteTextFile(program, "#!/bin/sh\n");
    chmod(program.c_str(), 04755);
    fs::create_symlink(program, dir / "out/in.mp3");
    WriteTextFile(dir / "out/in.wav", OldBytes);
    chmod((dir / "out/in.wav").c_str(), 02640);
    const Outcome o = Convert(dir, {"-y", "-t", "mp3", "-o", dir / "out", input});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    struct stat replaced {};
    ASSERT_EQ(lstat((dir / "out/in.mp3").c_str(), &replaced), 0);
    EXPECT_TRUE(S_ISREG(replaced.st_mode));
    EXPECT_EQ(replaced.st_mode & 07000, 0u);
    EXPECT_EQ(ReadTextFile(program), "#!/bin/sh\n");

    const Outcome wave = Convert(dir, {"-y", "-t", "wav", "-o", dir / "out", input});
    EXPECT_EQ(wave.exitCode, 0) << wave.err;
    ASSERT_EQ(lstat((dir / "out/in.wav").c_str(), &replaced), 0);
    EXPECT_EQ(replaced.st_mode & 07777, 0640u);
}
