#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "WaveTestSupport.h"
#include "formats/wave/WaveSink.h"
#include "sinks/OutputSink.h"

using namespace wavetest;

namespace {

const WAVEFORMATEX Stereo16 = MakePcmFormat(2, 44100, 16);

uint32_t U32At(const std::string& bytes, std::size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

// The file is a complete WAVE whose sizes describe exactly the bytes it holds.
void ExpectConsistent(const std::string& file, uint32_t extra, uint32_t dataBytes) {
    ASSERT_EQ(file.size(), 46u + extra + dataBytes);
    EXPECT_EQ(U32At(file, 4), 38u + extra + dataBytes);
    EXPECT_EQ(file.substr(38 + extra, 4), "data");
    EXPECT_EQ(U32At(file, 42 + extra), dataBytes);
}

class WaveSinkOutput : public ::testing::Test {
protected:
    void SetUp() override { UseWaveOutput(row, dir / "out.wav", Stereo16); }
    TestFolder dir;
    TestRow row;
};

} // namespace

TEST_F(WaveSinkOutput, WithoutDataTheFileIsTheBareHeader) {
    {
        bool ok = false;
        OutputSink holder(&Stereo16, row.Context(), ok);
        ASSERT_TRUE(ok);
    }
    const unsigned char expected[46] = {0x52, 0x49, 0x46, 0x46, 0x26, 0x00, 0x00, 0x00, 0x57, 0x41,
                                        0x56, 0x45, 0x66, 0x6D, 0x74, 0x20, 0x12, 0x00, 0x00, 0x00,
                                        0x01, 0x00, 0x02, 0x00, 0x44, 0xAC, 0x00, 0x00, 0x10, 0xB1,
                                        0x02, 0x00, 0x04, 0x00, 0x10, 0x00, 0x00, 0x00, 0x64, 0x61,
                                        0x74, 0x61, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(ReadFile(dir / "out.wav"), std::string(reinterpret_cast<const char*>(expected), 46));
    EXPECT_FALSE(row.result.WriteError);
}

TEST_F(WaveSinkOutput, ExtraFormatBytesAndAnOddDataLengthAreWrittenAsTheyAre) {
    WAVEFORMATEX mono8 = MakePcmFormat(1, 8000, 8);
    mono8.cbSize = 4;
    UseWaveOutput(row, dir / "out.wav", mono8, "wxyz");
    WriteFile(dir / "out.wav", std::string(5000, 'o')); // replaced, not appended to
    {
        bool ok = false;
        WaveSink sink(&mono8, row.At((dir / "out.wav")), ok);
        ASSERT_TRUE(ok);
        EXPECT_TRUE(sink.Write("abc", 3));
        EXPECT_TRUE(sink.Write("", 0));
    }
    const std::string file = ReadFile(dir / "out.wav");
    ExpectConsistent(file, 4, 3);
    EXPECT_EQ(U32At(file, 16), 22u);
    EXPECT_EQ(file.substr(36, 6), std::string("\x04\x00wxyz", 6));
    EXPECT_EQ(file.substr(50), "abc");
    EXPECT_FALSE(row.result.WriteError);
}

// A compressed output also carries a fact chunk between format and data: its sample frames, as
// the sink holder's conversion counted them.
TEST_F(WaveSinkOutput, ACompressedOutputCountsItsFramesInAFactChunk) {
    const WAVEFORMATEX alaw{WAVE_FORMAT_ALAW, 1, 8000, 8000, 1, 8, 0};
    const WAVEFORMATEX mono16 = MakePcmFormat(1, 8000, 16);
    UseWaveOutput(row, dir / "out.wav", alaw);
    {
        bool ok = false;
        OutputSink holder(&mono16, row.At((dir / "out.wav")), ok);
        ASSERT_TRUE(ok);
        EXPECT_TRUE(holder.Write(std::string(2000, '\x10').data(), 2000));
    }
    const std::string file = ReadFile(dir / "out.wav");
    ASSERT_EQ(file.size(), 58u + 1000u);
    EXPECT_EQ(U32At(file, 4), 50u + 1000u);
    EXPECT_EQ(file.substr(38, 8), std::string("fact\x04\x00\x00\x00", 8));
    EXPECT_EQ(U32At(file, 46), 1000u);
    EXPECT_EQ(file.substr(50, 4), "data");
    EXPECT_EQ(U32At(file, 54), 1000u);
    EXPECT_EQ(WaveSink::MaxDataBytes(0, true), 0xFFFFFFFFu - 50u);
}

TEST_F(WaveSinkOutput, AnOutputFolderThatCannotTakeTheFileLeavesNoFile) {
    const std::string missing = dir / "no-such-folder/out.wav";
    bool ok = true;
    {
        WaveSink sink(&Stereo16, row.At(missing), ok);
        EXPECT_FALSE(ok);
        EXPECT_FALSE(sink.Write("abcd", 4));
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_FALSE(row.result.WriteError);

    // A "folder" that is a file refuses even the superuser.
    WriteFile(dir / "blocker", "x");
    ok = true;
    { WaveSink sink(&Stereo16, row.At((dir / "blocker/out.wav")), ok); }
    EXPECT_FALSE(ok);

    if (::geteuid() != 0) { // root writes into read-only folders
        std::filesystem::create_directory(dir / "locked");
        std::filesystem::permissions(dir / "locked", std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::owner_exec);
        ok = true;
        { WaveSink sink(&Stereo16, row.At((dir / "locked/out.wav")), ok); }
        EXPECT_FALSE(ok);
        EXPECT_FALSE(std::filesystem::exists(dir / "locked/out.wav"));
    }
}

TEST_F(WaveSinkOutput, StopsAtTheSizeLimitWithAValidHeader) {
    EXPECT_EQ(WaveSink::MaxDataBytes(0), 0xFFFFFFFFu - 38u);
    EXPECT_EQ(WaveSink::MaxDataBytes(32), 0xFFFFFFFFu - 70u);
    const std::string block(600, 's');
    {
        bool ok = false;
        WaveSink sink(&Stereo16, row.At((dir / "out.wav")), ok, 1002);
        ASSERT_TRUE(ok);
        EXPECT_TRUE(sink.Write(block.data(), 600));
        EXPECT_FALSE(row.result.WriteError);
        EXPECT_FALSE(sink.Write(block.data(), 600)); // only 400 bytes (whole frames) still fit
        EXPECT_TRUE(row.result.WriteError);
        EXPECT_FALSE(sink.Write(block.data(), 4)); // nothing is appended after the limit
    }
    ExpectConsistent(ReadFile(dir / "out.wav"), 0, 1000);
}

TEST_F(WaveSinkOutput, AFullDiskRaisesWriteErrorAndLeavesAValidShortFile) {
    const std::string path = dir / "out.wav";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Only async-signal-safe exits from here: no test assertions in the child.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{46 + 10000, 46 + 10000};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            ::_exit(10);
        int result = 0;
        {
            bool ok = false;
            WaveSink sink(&Stereo16, row.At(path), ok);
            if (!ok)
                ::_exit(11);
            // Written in large pieces: the failure may show only when the sink ends.
            const std::string block(4096, 'd');
            for (int i = 0; i < 3; ++i) // the third passes the limit
                sink.Write(block.data(), 4096);
        }
        result |= row.result.WriteError ? 0 : 8;
        ::_exit(result);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // Every whole frame that fitted under the limit is kept.
    ExpectConsistent(ReadFile(path), 0, 10000);
}
