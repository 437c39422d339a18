// brindlex-convert --verify: every output decoded again before it takes its name, on inputs made
// by sox; a byte flipped on its way to disk fails the row and leaves the older output as it was.
#include <gtest/gtest.h>

#include <filesystem>

#include "CliTestSupport.h"
#include "system/SettingsStore.h"

using namespace clitest;
namespace fs = std::filesystem;

namespace {
constexpr const char* Targets[] = {"wav", "mp3", "wma", "flac", "opus", "ogg", "m4a", "alac"};

class CliVerify : public ::testing::Test {
protected:
    ConfigHome config;
    TestFolder dir;

    // A CD-shaped input, whose lossless outputs hold its very samples; a 24-bit mono one at
    // another rate, which most targets resample or reshape; samples deeper than any lossless
    // target keeps (32-bit floats and integers); and Vorbis, decoded to floats.
    std::vector<std::string> Inputs() {
        const std::string cd = SoxTone(dir / "in/cd.wav", 1.5);
        const std::string ogg = dir / "in/vorbis.ogg";
        Shell("oggenc -Q -o " + Quote(ogg) + " " + Quote(cd));
        return {cd, SoxTone(dir / "in/odd.wav", 1.1, "-r 22050 -c 1 -b 24"),
                SoxTone(dir / "in/float.wav", 0.7, "-e floating-point -b 32"),
                SoxTone(dir / "in/int32.wav", 0.7, "-b 32"), ogg};
    }
};
} // namespace

TEST_F(CliVerify, EveryTargetPassesInWorkerProcesses) {
    const std::vector<std::string> inputs = Inputs();
    for (const char* target : Targets) {
        const std::string out = dir / target;
        std::vector<std::string> args = {"--verify", "-j", "2", "-t", target, "-o", out};
        args.insert(args.end(), inputs.begin(), inputs.end());
        const Outcome o = Convert(dir, args);
        EXPECT_EQ(o.exitCode, 0) << target << ": " << o.err;
        EXPECT_NE(o.out.find("5 converted, 5 verified, 0 failed"), std::string::npos)
            << target << ": " << o.out;
        EXPECT_EQ(SortedNames(out).size(), 5u) << target;
    }
}

// Channels and a rate chosen for the output: the encoder is given other samples than the input's.
TEST_F(CliVerify, LosslessTargetsReshapedBySettingsPass) {
    const std::string input = SoxTone(dir / "in/song.wav", 1.0);
    for (const char* target : {"flac", "alac"}) {
        const Outcome o = Convert(dir, {"--verify", "--channels", "1", "--rate", "22050", "-t",
                                        target, "-o", dir / target, input});
        EXPECT_EQ(o.exitCode, 0) << target << ": " << o.err;
        EXPECT_NE(o.out.find("1 converted, 1 verified, 0 failed"), std::string::npos) << o.out;
    }
}

// The seam flips the byte halfway through each output after the encoder closed it: inside the
// samples of a WAVE file, an encoded frame of the others.
TEST_F(CliVerify, CorruptedWriteFailsTheRowAndKeepsTheOlderOutput) {
    const std::string input = SoxTone(dir / "in/song.wav", 2.0);
    const std::string corrupting = std::string(BMC_BINARY_DIR) + "/brindlex-convert-corrupting";
    for (const char* target : {"wav", "flac", "ogg", "opus"}) {
        const std::string out = dir / target;
        ASSERT_EQ(Convert(dir, {"-t", target, "-o", out, input}).exitCode, 0) << target;
        const std::string output = SortedNames(out).at(0);
        const std::string older = ReadTextFile(out + "/" + output);

        const Outcome o =
            Convert(dir, {"--verify", "-y", "-t", target, "-o", out, input}, 0, corrupting);
        EXPECT_EQ(o.exitCode, 1) << target;
        EXPECT_NE(o.err.find("Verification failed for '" + out + "/" + output + "': "),
                  std::string::npos)
            << o.err;
        EXPECT_NE(o.out.find("0 converted, 0 verified, 1 failed"), std::string::npos) << o.out;
        EXPECT_TRUE(ReadTextFile(out + "/" + output) == older) << target;
        EXPECT_EQ(SortedNames(out), std::vector<std::string>{output}) << target;

        // Nothing takes a new output's name either.
        fs::remove(out + "/" + output);
        EXPECT_EQ(
            Convert(dir, {"--verify", "-t", target, "-o", out, input}, 0, corrupting).exitCode, 1)
            << target;
        EXPECT_TRUE(SortedNames(out).empty()) << target;
    }
}

// The window's stored choice verifies without the option, and --no-verify keeps it from doing so.
TEST_F(CliVerify, StoredChoiceIsTheDefault) {
    StoreWriteNumber(1, StoreRoot::User, SettingsKey, "BrConvVerify");
    const Outcome o =
        Convert(dir, {"-t", "flac", "-o", dir / "out", SoxTone(dir / "in/a.wav", 0.5)});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.out.find("1 converted, 1 verified, 0 failed"), std::string::npos) << o.out;
    const Outcome off =
        Convert(dir, {"-y", "--no-verify", "-t", "flac", "-o", dir / "out", dir / "in/a.wav"});
    EXPECT_EQ(off.exitCode, 0) << off.err;
    EXPECT_NE(off.out.find("1 converted, 0 failed"), std::string::npos) << off.out;
}
