// brindlex-convert when outputs exist, when it is interrupted, and when the disk fills up.
#include <poll.h>
#include <sys/mount.h>
#include <sys/syscall.h>

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

#include "CliTestSupport.h"
#include "system/UniqueFd.h"

using namespace clitest;
namespace fs = std::filesystem;

namespace {
class CliFaults : public ::testing::Test {
protected:
    ConfigHome config;
    TestFolder dir;

    std::string Make(const std::string& name, double seconds, const std::string& format = "") {
        return SoxTone(dir / name, seconds, format);
    }

    std::string MakeHour(const std::string& name) { return MakeSilentHour(dir / name); }
};

// The line of a file that a cancel cut short.
std::string NotKept(const std::string& input, const std::string& output) {
    return "The conversion of '" + input + "' to '" + output + "' was cancelled and not kept.";
}

// A file system of 256 KiB at dir/full while the test runs.
class CliFullDisk : public CliFaults {
protected:
    const std::string full = dir / "full";

    void SetUp() override {
        fs::create_directory(full);
        if (mount("tmpfs", full.c_str(), "tmpfs", 0, "size=256k") != 0) {
            GTEST_SKIP() << "no small file system can be mounted here";
        }
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) {
            umount2(full.c_str(), MNT_DETACH);
        }
    }

private:
    bool mounted_ = false;
};
} // namespace

TEST_F(CliFaults, ExistingOutputsWithoutATerminalAreRefused) {
    const std::string a = Make("a.mp3.wav", 0.2);
    const std::string b = Make("b.wav", 0.2);
    fs::create_directory(dir / "out");
    WriteTextFile(dir / "out/b.wav", "OLD");
    const Outcome o = Convert(dir, {"--to", "wav", "--output-dir", dir / "out", a, b});
    EXPECT_EQ(o.exitCode, 3);
    EXPECT_NE(o.err.find(dir / "out/b.wav"), std::string::npos) << o.err;
    EXPECT_EQ(ReadTextFile(dir / "out/b.wav"), "OLD");
    EXPECT_FALSE(fs::exists(dir / "out/a.mp3.wav")); // nothing converted at all
}

TEST_F(CliFaults, OnATerminalTheUserIsAskedOnce) {
    const std::string in = Make("a.wav", 0.2);
    fs::create_directory(dir / "out");
    // script(1) gives the converter a terminal and types the answer into it.
    auto answer = [&](const std::string& reply) {
        const std::string command =
            ConverterPath() + " --to wav --output-dir " + Quote(dir / "out") + " " + Quote(in);
        return Shell("printf '" + reply + "\\n' | script -qec " + Quote(command) +
                     " /dev/null; echo \"exit=$?\"");
    };
    WriteTextFile(dir / "out/a.wav", "OLD");
    const std::string no = answer("n");
    EXPECT_NE(no.find("Replace them? [y/N]"), std::string::npos) << no;
    EXPECT_NE(no.find("exit=3"), std::string::npos) << no;
    EXPECT_EQ(ReadTextFile(dir / "out/a.wav"), "OLD");

    const std::string yes = answer("y");
    EXPECT_NE(yes.find("exit=0"), std::string::npos) << yes;
    EXPECT_NE(yes.find("Total [##############################] 100%"), std::string::npos)
        << yes; // the terminal display
    EXPECT_EQ(SoxSamples(dir / "out/a.wav"), SoxSamples(in));
}

TEST_F(CliFaults, OverwritingTheInputItselfReplacesItWhole) {
    const std::string x = Make("x.wav", 1.0);
    const Outcome o =
        Convert(dir, {"--to", "wav", "--wave-format", "alaw:1:8000:8", "--overwrite", x});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(Probe(x, "codec_tag"), "0x0006");
    EXPECT_NEAR(SoxSamples(x), 8000, 2);
    EXPECT_TRUE(Leftovers(dir.Path()).empty());
}

TEST_F(CliFaults, CtrlCOrKillDuringAnOverwriteKeepsTheOldFileAndLeavesNothing) {
    const std::string hour = MakeHour("hour.wav");
    fs::create_directory(dir / "out");
    const std::string old = Make("out/hour.wav", 0.5);
    const std::string oldBytes = ReadTextFile(old);
    for (const int signal : {SIGINT, SIGKILL}) {
        SCOPED_TRACE(signal);
        const Spawned s = Spawn(dir, {"--to", "wav", "--wave-format", "ima-adpcm:2:44100:4",
                                      "--output-dir", dir / "out", "--overwrite", hour});
        // The new version has no name while it is written: a killed process leaves nothing.
        const bool started =
            WaitForGrowth([&] { return UnnamedFileOf(s.pid, dir / "out"); }, 64 * 1024);
        EXPECT_TRUE(Leftovers(dir / "out").empty());
        kill(s.pid, signal);
        const Outcome o = Wait(s);
        ASSERT_TRUE(started) << o.err;
        EXPECT_EQ(o.exitCode, 128 + signal) << o.err;
        EXPECT_EQ(ReadTextFile(old), oldBytes);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), fs::directory_iterator()), 1);
        EXPECT_EQ(o.err.find("Unable"), std::string::npos) << o.err; // no error line for it
    }
}

// Ctrl-C, or SIGTERM as a cluster's time limit sends it: the file cut short never takes its name,
// so a later --skip-existing converts it again.
TEST_F(CliFaults, StoppingDuringANewOutputLeavesNothingAtItsName) {
    const std::string hour = MakeHour("hour.wav");
    fs::create_directory(dir / "out");
    const std::string out = dir / "out/hour.wav";
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const Spawned s = Spawn(dir, {"-j", "1", "--to", "wav", "--wave-format",
                                      "ima-adpcm:2:44100:4", "--output-dir", dir / "out", hour});
        const bool started =
            WaitForGrowth([&] { return UnnamedFileOf(s.pid, dir / "out"); }, 64 * 1024);
        kill(s.pid, signal);
        const Outcome o = Wait(s);
        ASSERT_TRUE(started) << o.err;
        EXPECT_EQ(o.exitCode, 128 + signal) << o.err;
        EXPECT_FALSE(fs::exists(out));
        EXPECT_NE(o.err.find("\n" + NotKept(hour, out) + "\n"), std::string::npos) << o.err;
        EXPECT_EQ(o.out, "0 converted, 0 failed, 0 skipped, 1 cancelled\n");
    }
}

TEST_F(CliFaults, AFullDiskFailsTheFileAndKeepsTheOldOutput) {
    const std::string in = Make("in.wav", 5.0); // 882 KB of PCM, written in blocks of 3 s
    fs::create_directory(dir / "new");
    fs::create_directory(dir / "old");
    const std::string fresh = dir / "new/in.wav";
    const std::string kept = Make("old/in.wav", 0.3);
    const std::string keptBytes = ReadTextFile(kept);

    Outcome o = Convert(dir, {"--to", "wav", "--output-dir", dir / "new", in}, 700 * 1024);
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find("\nUnable to write to '" + fresh + "': file too large.\n"),
              std::string::npos)
        << o.err;
    EXPECT_FALSE(fs::exists(fresh)); // a failed file leaves nothing at its name
    EXPECT_TRUE(Leftovers(dir / "new").empty());

    o = Convert(dir, {"--to", "wav", "--output-dir", dir / "old", "--overwrite", in}, 700 * 1024);
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find("\nUnable to write to '" + kept + "': file too large.\n"),
              std::string::npos)
        << o.err;
    EXPECT_EQ(ReadTextFile(kept), keptBytes);
    EXPECT_TRUE(Leftovers(dir / "old").empty());
}

TEST_F(CliFaults, CtrlCWithTwoAtOnceCancelsBothFiles) {
    const std::string fresh = MakeHour("fresh.wav");
    const std::string replaced = MakeHour("replaced.wav");
    fs::create_directory(dir / "out");
    const std::string old = Make("out/replaced.wav", 0.5);
    const std::string oldBytes = ReadTextFile(old);
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const Spawned s =
            Spawn(dir, {"-j", "2", "--to", "wav", "--wave-format", "ima-adpcm:2:44100:4",
                        "--output-dir", dir / "out", "--overwrite", fresh, replaced});
        const bool started =
            WaitForGrowth([&] { return NthUnnamedFileOf(s.pid, dir / "out", 0); }, 64 * 1024) &&
            WaitForGrowth([&] { return NthUnnamedFileOf(s.pid, dir / "out", 1); }, 64 * 1024);
        kill(s.pid, signal);
        const Outcome o = Wait(s);
        ASSERT_TRUE(started) << o.err;
        EXPECT_EQ(o.exitCode, 128 + signal) << o.err;
        EXPECT_EQ(o.out, "0 converted, 0 failed, 0 skipped, 2 cancelled\n");
        EXPECT_FALSE(fs::exists(dir / "out/fresh.wav"));
        EXPECT_EQ(ReadTextFile(old), oldBytes);
        EXPECT_TRUE(Leftovers(dir / "out").empty());
        EXPECT_NE(o.err.find(NotKept(fresh, dir / "out/fresh.wav") + "\n" + NotKept(replaced, old) +
                             "\n"),
                  std::string::npos)
            << o.err;
        EXPECT_EQ(o.err.find("Unable"), std::string::npos) << o.err;
    }
}

// The main process killed while its workers convert: its death stops them, and neither puts what
// it wrote in place, so a later --skip-existing would not take a short file for a converted one.
TEST_F(CliFaults, KillingTheMainProcessLeavesNothingOfItsWorkers) {
    const std::string a = MakeHour("a.wav");
    const std::string b = MakeHour("b.wav");
    fs::create_directory(dir / "out");
    const Spawned s = Spawn(dir, {"-j", "2", "--to", "wav", "--wave-format", "ima-adpcm:2:44100:4",
                                  "--output-dir", dir / "out", a, b});
    const bool started =
        WaitForGrowth([&] { return NthUnnamedFileOf(s.pid, dir / "out", 0); }, 64 * 1024) &&
        WaitForGrowth([&] { return NthUnnamedFileOf(s.pid, dir / "out", 1); }, 64 * 1024);
    // Watched through descriptors taken while they are still ours, so no other process can
    // take their ids meanwhile.
    std::vector<UniqueFd> workers;
    for (const pid_t worker : ChildrenOf(s.pid)) {
        workers.emplace_back(static_cast<int>(syscall(SYS_pidfd_open, worker, 0)));
    }
    kill(s.pid, SIGKILL);
    Wait(s);
    ASSERT_TRUE(started);
    ASSERT_EQ(workers.size(), 2u);
    for (const UniqueFd& worker : workers) {
        pollfd ended{worker.Get(), POLLIN, 0};
        EXPECT_EQ(poll(&ended, 1, 60000), 1);
    }
    EXPECT_TRUE(fs::is_empty(dir / "out"));
}

TEST_F(CliFaults, ACrashingCodecFailsItsFileAndTheJobGoesOn) {
    // A converter whose MP3 decoder module crashes a few seconds into every file.
    const std::string crashing = dir / "crashing";
    fs::create_directories(crashing + "/codecs");
    fs::copy_file(ConverterPath(), crashing + "/brindlex-convert");
    fs::copy_file(BMC_TEST_MODULE_DIR "/crashing/libbmc-mp3dec.so",
                  crashing + "/codecs/libbmc-mp3dec.so");
    const std::vector<std::string> tones = {Make("a.wav", 0.3), Make("b.wav", 0.3),
                                            Make("c.wav", 0.3)};
    const std::string hostile = dir / "hostile.mp3";
    const std::string hostileNew = dir / "hostile new.mp3";
    WriteTextFile(hostile, "ID3");
    WriteTextFile(hostileNew, "ID3");
    fs::create_directory(dir / "out");
    WriteTextFile(dir / "out/hostile.wav", "OLD");
    const Outcome o = Convert(dir,
                              {"-j", "2", "--to", "wav", "-y", "-o", dir / "out", tones[0], hostile,
                               tones[1], hostileNew, tones[2]},
                              0, crashing + "/brindlex-convert");
    EXPECT_EQ(o.exitCode, 1) << o.err;
    EXPECT_EQ(o.out, "3 converted, 2 failed, 0 skipped\n");
    const std::size_t first =
        o.err.find("\nUnable to convert '" + hostile + "': the conversion crashed (");
    const std::size_t second =
        o.err.find("\nUnable to convert '" + hostileNew + "': the conversion crashed (");
    EXPECT_NE(first, std::string::npos) << o.err;
    EXPECT_LT(first, second) << o.err; // in the order of the list
    for (const std::string& tone : tones) {
        EXPECT_EQ(SoxSamples(dir / ("out/" + fs::path(tone).filename().string())),
                  SoxSamples(tone));
    }
    EXPECT_EQ(ReadTextFile(dir / "out/hostile.wav"), "OLD");
    EXPECT_FALSE(fs::exists(dir / "out/hostile new.wav")); // half a file without its header
    EXPECT_TRUE(Leftovers(dir / "out").empty());
}

TEST_F(CliFaults, AnOutputThatAppearsWhileTwoRunIsKept) {
    const std::vector<std::string> hours = {MakeHour("one.wav"), MakeHour("two.wav")};
    const std::string late = Make("late.wav", 0.3);
    fs::create_directory(dir / "out");
    const Spawned s = Spawn(dir, {"-j", "2", "--to", "wav", "--wave-format", "ima-adpcm:2:44100:4",
                                  "-o", dir / "out", hours[0], hours[1], late});
    const bool started =
        WaitForGrowth([&] { return NthUnnamedFileOf(s.pid, dir / "out", 0); }, 64 * 1024) &&
        WaitForGrowth([&] { return NthUnnamedFileOf(s.pid, dir / "out", 1); }, 64 * 1024);
    // Both workers are busy, so the last file has not started: its output appears now.
    WriteTextFile(dir / "out/late.wav", "THEIRS");
    const std::vector<pid_t> workers = ChildrenOf(s.pid);
    for (const pid_t worker : workers) {
        kill(worker, SIGKILL);
    }
    const Outcome o = Wait(s);
    ASSERT_TRUE(started) << o.err;
    EXPECT_EQ(workers.size(), 2u);
    EXPECT_EQ(o.exitCode, 1) << o.err;
    EXPECT_EQ(o.out, "0 converted, 3 failed, 0 skipped\n");
    EXPECT_NE(o.err.find("\nUnable to convert '" + hours[1] + "': the conversion crashed (Killed)"),
              std::string::npos)
        << o.err;
    EXPECT_NE(o.err.find("'" + dir / "out/late.wav" +
                         "' appeared after the outputs were checked and was not replaced; '" +
                         late + "' was not converted."),
              std::string::npos)
        << o.err;
    EXPECT_EQ(ReadTextFile(dir / "out/late.wav"), "THEIRS");
    EXPECT_FALSE(fs::exists(dir / "out/one.wav")); // what the killed workers had begun is gone
    EXPECT_FALSE(fs::exists(dir / "out/two.wav"));
}

// A disk without room for a file's first bytes fails it as a write, whatever the format. The
// shell sets the cap, so that the messages go to a pipe rather than to a capped file.
TEST_F(CliFaults, AFullDiskFailsTheFirstBytesOfEveryFormatAsAWrite) {
    const std::string in = Make("in.wav", 1.0);
    for (const auto& [target, name] : {std::pair{"flac", "in.flac"}, std::pair{"ogg", "in.ogg"},
                                       std::pair{"m4a", "in.m4a"}, std::pair{"alac", "in.m4a"}}) {
        const std::string out = dir / target;
        const std::string said =
            Shell("trap '' XFSZ; prlimit --fsize=40 " + Quote(ConverterPath()) + " -q --to " +
                  target + " --output-dir " + Quote(out) + " " + Quote(in) + " 2>&1; echo $?");
        EXPECT_EQ(said, "Unable to write to '" + out + "/" + name + "': file too large.\n1")
            << target;
        EXPECT_FALSE(fs::exists(out + "/" + name));
    }
}

// Whatever the format, the line of a file the disk had no room for ends with the system's cause,
// and nothing is left at its name.
TEST_F(CliFullDisk, EveryFormatsWriteLineEndsWithTheCause) {
    const std::string in = dir / "in.wav";
    Shell("sox -q -n -r 44100 -c 2 -b 16 " + Quote(in) + " synth 40 pinknoise gain -6");
    for (const auto& [target, name] :
         {std::pair{"wav", "in.wav"}, std::pair{"mp3", "in.mp3"}, std::pair{"wma", "in.wma"},
          std::pair{"flac", "in.flac"}, std::pair{"opus", "in.opus"}, std::pair{"ogg", "in.ogg"},
          std::pair{"m4a", "in.m4a"}, std::pair{"alac", "in.m4a"}}) {
        const Outcome o = Convert(dir, {"-q", "--to", target, "-o", full, in});
        EXPECT_EQ(o.exitCode, 1) << target;
        EXPECT_EQ(o.err,
                  "Unable to write to '" + full + "/" + name + "': no space left on device.\n")
            << target;
        EXPECT_TRUE(fs::is_empty(full)) << target;
        for (const auto& left : fs::directory_iterator(full)) {
            fs::remove(left.path()); // for the next format
        }
    }
}

// An output the system will not let be replaced (an immutable file, which root cannot change
// either) names the refusal, and the old file stays.
TEST_F(CliFaults, AReplaceTheSystemRefusesEndsWithTheCause) {
    const std::string in = Make("in.wav", 0.5);
    const std::string locked = Make("out/in.wav", 0.2);
    const std::string lockedBytes = ReadTextFile(locked);
    if (Shell("chattr +i " + Quote(locked) + " 2>/dev/null; echo $?") != "0") {
        GTEST_SKIP() << "no immutable files here";
    }
    const auto unlock = [](const std::string* path) { Shell("chattr -i " + Quote(*path)); };
    const std::unique_ptr<const std::string, decltype(unlock)> unlocked(&locked, unlock);
    const Outcome o = Convert(dir, {"-q", "--to", "wav", "-y", "-o", dir / "out", in});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_EQ(o.err, "Unable to write to '" + locked + "': operation not permitted.\n");
    EXPECT_EQ(ReadTextFile(locked), lockedBytes);
    EXPECT_TRUE(Leftovers(dir / "out").empty());
}
