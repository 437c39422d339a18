// Windows Media Audio through the conversion path: OpenAudioSource, the WMA source pumping into
// the WMA sink, the module missing, bad inputs, cancelling, and the check made before a job.
#include "formats/wma/WmaAvailability.h"
#include "sinks/OutputSink.h"
#include "formats/wma/WmaSampleReceiver.h"
#include "tests/WmaTestSupport.h"
#include "TargetNumbers.h"

using namespace wmatest;

struct Input {
    const char* codec;
    int rate;
    int channels;
};

class WmaToWma : public ::testing::TestWithParam<Input> {};

// ffmpeg-made WMA files convert to WMA at a 44100 Hz and a 32000 Hz entry with the length that
// ffprobe reports for the input, within one frame of the output.
TEST_P(WmaToWma, KeepsTheLength) {
    TestRow row;
    const Input p = GetParam();
    ScratchDir dir;
    const std::string in = dir / "in.WMA";
    MakeTone(in, p.rate, p.channels, 1.5, std::string("-c:a ") + p.codec + " -b:a 64k");
    for (const auto& [bitRate, rate] : {std::pair{160, 44100}, std::pair{36, 32000}}) {
        SetQuality(row, bitRate, rate);
        const std::string out = dir / ("out" + std::to_string(rate) + ".wma");
        const Conversion c = Convert(row, in, out);
        ASSERT_EQ(c.code, ConversionError::ceNone);
        EXPECT_TRUE(c.ended);
        EXPECT_FALSE(row.result.WriteError);
        EXPECT_FALSE(row.result.ProtectedInput);
        EXPECT_EQ(row.result.InputError, ConversionError::ceNone);
        EXPECT_EQ(Probe(out, "stream=codec_name"), "wmav2");
        EXPECT_EQ(Probe(out, "stream=sample_rate"), std::to_string(rate));
        EXPECT_EQ(Probe(out, "stream=channels"), "2");
        EXPECT_EQ(Probe(out, "stream=bit_rate"), std::to_string(bitRate * 1000));
        // What ffmpeg decodes from the output against the input's length by ffprobe.
        const double decoded = double(DecodeWithFfmpeg(out).size()) / 4 / rate;
        EXPECT_NEAR(decoded, Duration(in), 2048.0 / rate + 0.002);
        // Progress in milliseconds: the duration, and the time of the last block.
        EXPECT_NEAR(c.progress[0], Duration(in) * 1000, 1.0);
        EXPECT_GT(c.progress[1], c.progress[0] - 200);
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, WmaToWma,
                         ::testing::Values(Input{"wmav1", 44100, 2}, Input{"wmav2", 22050, 1},
                                           Input{"wmav2", 48000, 2}),
                         [](const auto& info) {
                             return std::string(info.param.codec) + "_" +
                                    std::to_string(info.param.rate) + "Hz" +
                                    std::to_string(info.param.channels) + "ch";
                         });

// Without the module every WMA input fails to load its codec and every WMA output fails as a
// device error.
TEST(WmaConversion, WithoutTheModuleEveryWmaFileFails) {
    ScratchDir dir;
    TestRow row({dir / "no-codecs/"});
    const std::string in = dir / "in.wma";
    MakeTone(in, 44100, 2, 0.2, "-c:a wmav2");
    row.output = dir / "out.wma";
    SetQuality(row, 128, 44100);
    ConversionError code = ConversionError::ceNone;
    EXPECT_NE(OpenAudioSource(in.c_str(), row.Context(), code), nullptr);
    EXPECT_EQ(code, ConversionError::ceCodec);
    bool ok = true;
    const WAVEFORMATEX pcm = MakePcmFormat(2, 44100, 16);
    OutputSink holder(&pcm, row.Context(), ok);
    EXPECT_FALSE(ok);
}

TEST(WmaConversion, BadInputsEndWithTheirLines) {
    TestRow row;
    ScratchDir dir;
    SetQuality(row, 64, 44100);
    MakeTone(dir / "wave.wma", 44100, 2, 0.3, "-f wav");
    Shell("ffmpeg -v error -y -f lavfi -i testsrc=duration=0.3:size=64x48 -c:v wmv2 -f asf " +
          Quote(dir / "video.wma"));
    EXPECT_EQ(Convert(row, dir / "wave.wma", dir / "out.wma").code, ConversionError::ceRead);
    EXPECT_EQ(Convert(row, dir / "video.wma", dir / "out.wma").code, ConversionError::ceCodec);

    Shell("ffmpeg -v error -y -f lavfi -i sine=duration=2 -c:a wmav2 -metadata title=protected " +
          Quote(dir / "plain.wma"));
    const std::string bytes = ReadFile(dir / "plain.wma");
    WriteFile(dir / "cut.wma", bytes.substr(0, bytes.size() * 2 / 3));
    Conversion c = Convert(row, dir / "cut.wma", dir / "cut-out.wma");
    EXPECT_EQ(c.code, ConversionError::ceNone);
    EXPECT_TRUE(c.ended);
    EXPECT_FALSE(row.result.ProtectedInput);

    WriteFile(dir / "locked.wma", ProtectedCopy(bytes));
    c = Convert(row, dir / "locked.wma", dir / "locked-out.wma");
    EXPECT_EQ(c.code, ConversionError::ceNone);
    EXPECT_TRUE(c.ended);
    EXPECT_TRUE(row.result.ProtectedInput);
    EXPECT_EQ(ProtectedInputLine(dir / "locked.wma"),
              "Protected WMA file cannot convert '" + (dir / "locked.wma") + "'.");

    // The audio stream's format tag (78 bytes into the stream properties object) made unknown.
    const std::string streamProperties(
        "\x91\x07\xDC\xB7\xB7\xA9\xCF\x11\x8E\xE6\x00\xC0\x0C\x20\x53\x65", 16);
    std::string unknown = bytes;
    const size_t at = unknown.find(streamProperties, 30);
    ASSERT_NE(at, std::string::npos);
    unknown[at + 78] = '\x77';
    unknown[at + 79] = '\x77';
    WriteFile(dir / "unknown.wma", unknown);
    c = Convert(row, dir / "unknown.wma", dir / "unknown-out.wma");
    EXPECT_EQ(c.code, ConversionError::ceNone);
    EXPECT_TRUE(c.ended);
    EXPECT_EQ(row.result.InputError, ConversionError::ceCodec);
}

// Cancelling stops pumping and destroys the source: the reader stops before the sink completes
// the partial file, which is still a valid ASF file, and nothing hangs.
TEST(WmaConversion, CancellingMidFileLeavesAValidPartialFile) {
    TestRow row;
    ScratchDir dir;
    const std::string in = dir / "long.wax";
    MakeLongWma(in);
    SetQuality(row, 96, 44100);
    // Convert destroys the source after three pumps: that returns once the reader has stopped.
    const Conversion c = Convert(row, in, dir / "partial.wma", 3);
    EXPECT_EQ(c.code, ConversionError::ceNone);
    EXPECT_FALSE(c.ended);
    EXPECT_EQ(Probe(dir / "partial.wma", "stream=codec_name"), "wmav2");
    EXPECT_LT(Duration(dir / "partial.wma"), 290.0);
}

// The check before a job: only a WMA target or a listed .wma input needs the module.
TEST(WmaConversion, JobIsRefusedOnlyWhenWmaIsInvolvedAndMissing) {
    ScratchDir dir;
    const std::string install = " To install the correct components, download and install the "
                                "'Windows Media Audio 4 Codec' from the Brindlex Download page.";
    const std::vector<std::string> none = {dir / "none/"};
    EXPECT_FALSE(WmaModuleInstalled(none));
    EXPECT_EQ(WmaJobRefusal(tfWMA, {"/a/b.mp3"}, none),
              "Unable to convert to a Microsoft Audio 4 file as the correct components are not "
              "installed." +
                  install);
    EXPECT_EQ(WmaJobRefusal(tfWave, {"/a/b.mp3", "/a/c.WmA"}, none),
              "Unable to convert from a Microsoft Audio 4 file as the correct components are "
              "not installed." +
                  install);
    EXPECT_EQ(WmaJobRefusal(tfMp3, {"/a/b.wax", "/a.wma/c"}, none), "");
    const std::vector<std::string> built = {std::string(BMC_CODEC_DIR) + "/"};
    EXPECT_TRUE(WmaModuleInstalled(built));
    EXPECT_EQ(WmaJobRefusal(tfWMA, {"/a/c.wma"}, built), "");
}

// The reader's statuses are read whole: a value that merely ends in the byte of a known status
// is another status and ends nothing.
TEST(WmaConversion, OnlyWholeStatusValuesEndTheStream) {
    TestRow row;
    WmaSampleReceiver callback(row.result);
    callback.OnStatus(0x100 | WMA_STATUS_NO_RIGHTS, S_OK, nullptr);
    callback.OnStatus(0x200 | WMA_STATUS_END_OF_FILE, S_OK, nullptr);
    EXPECT_FALSE(callback.WaitUntilFinished(std::chrono::milliseconds(0)));
    EXPECT_FALSE(row.result.ProtectedInput);
    callback.OnStatus(WMA_STATUS_NO_RIGHTS, S_OK, nullptr);
    EXPECT_TRUE(callback.WaitUntilFinished(std::chrono::milliseconds(0)));
    EXPECT_TRUE(row.result.ProtectedInput);
}
