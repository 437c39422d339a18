// What brindlex-convert loads: FFmpeg only for a job whose formats need it, so that a start, a
// PCM or MP3 job and every worker process pay nothing for it.
#include <gtest/gtest.h>

#include "CliTestSupport.h"

using namespace clitest;

namespace {
class CliLoading : public ::testing::Test {
protected:
    ConfigHome config;
    TestFolder dir;

    // The converter's run with the dynamic loader telling on standard error what it loads.
    Outcome Traced(std::vector<std::string> args) {
        args.insert(args.begin(), {"LD_DEBUG=files", ConverterPath()});
        return Convert(dir, args, 0, "/usr/bin/env");
    }
    static bool LoadedFFmpeg(const Outcome& o) {
        return o.err.find("file=libavcodec.so") != std::string::npos;
    }
};
} // namespace

TEST_F(CliLoading, FFmpegIsLoadedOnlyByAJobWhoseFormatsNeedIt) {
    const Outcome version = Traced({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_NE(version.out.find("brindlex-convert"), std::string::npos) << version.out;
    EXPECT_FALSE(LoadedFFmpeg(version));

    const std::string tone = dir / "tone.wav";
    Shell("sox -q -n -r 44100 -c 2 -b 16 " + Quote(tone) + " synth 0.5 sine 440 gain -6");
    const Outcome mp3 = Traced({"-j", "1", "--to", "mp3", "-o", dir / "mp3", tone});
    EXPECT_EQ(mp3.exitCode, 0) << mp3.err;
    EXPECT_EQ(Probe(dir / "mp3/tone.mp3", "codec_name"), "mp3");
    EXPECT_FALSE(LoadedFFmpeg(mp3));

    const Outcome back =
        Traced({"-j", "1", "--to", "wav", "-o", dir / "back", dir / "mp3/tone.mp3"});
    EXPECT_EQ(back.exitCode, 0) << back.err;
    EXPECT_EQ(Probe(dir / "back/tone.wav", "codec_name"), "pcm_s16le");
    EXPECT_FALSE(LoadedFFmpeg(back));

    // A coded WAVE format and a new sample rate are FFmpeg's work.
    const Outcome ima = Traced({"-j", "1", "--to", "wav", "--wave-format", "ima-adpcm:1:22050:4",
                                "-o", dir / "ima", tone});
    EXPECT_EQ(ima.exitCode, 0) << ima.err;
    EXPECT_EQ(Probe(dir / "ima/tone.wav", "codec_name"), "adpcm_ima_wav");
    EXPECT_EQ(Probe(dir / "ima/tone.wav", "sample_rate"), "22050");
    EXPECT_TRUE(LoadedFFmpeg(ima));
}
