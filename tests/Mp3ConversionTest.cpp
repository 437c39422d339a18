// Whole conversions to and from MP3 through the source factory, the sink holder and the codec
// modules, checked with ffprobe, mpg123 and soxi.
#include <gtest/gtest.h>

#include <random>

#include "Mp3TestSupport.h"
#include "RowTestSupport.h"
#include "TargetNumbers.h"
#include "catalog/ConversionSettings.h"
#include "engine/ConversionError.h"
#include "engine/OpenAudioSource.h"
#include "engine/WaveFormat.h"
#include "formats/mp3/Mp3Options.h"
#include "formats/mp3/Mp3Sink.h"
#include "formats/mp3/Mp3Source.h"
#include "sinks/OutputSink.h"

using namespace mp3test;

namespace {

void UseMp3Output(TestRow& row, const std::string& output, int rate, bool stereo, int bitRate) {
    row.settings.TargetFormat = tfMp3;
    row.settings.Options.Set(Mp3SampleRateOption, rate);
    row.settings.Options.Set(Mp3MonoOption, stereo ? 0 : 1);
    row.settings.Options.Set(Mp3BitRateOption, bitRate);
    row.output = output;
}

void UseWaveOutput(TestRow& row, const std::string& output) {
    row.settings.TargetFormat = tfWave;
    const WAVEFORMATEX format = MakePcmFormat(2, 44100, 16);
    std::memcpy(row.settings.WaveOutputFormat.data(), &format, sizeof format);
    row.output = output;
}

struct Outcome {
    ConversionError code = ConversionError::ceNone;
    int pumps = 0;
    bool writeError = false;
};

// Converts one file the way the worker does: open, pump to the end, destroy, read the flags.
Outcome Convert(TestRow& row, const std::string& input) {
    Outcome outcome;
    row.ClearResult();
    auto source = OpenAudioSource(input.c_str(), row.Context(), outcome.code);
    EXPECT_NE(source, nullptr);
    if (!source)
        return outcome;
    while (outcome.code == ConversionError::ceNone && source->Pump())
        EXPECT_LT(++outcome.pumps, 10000) << "the source never ends";
    source.reset();
    outcome.writeError = row.result.WriteError;
    return outcome;
}

// A module file of the build's codec folder.
std::string BuiltModule(const char* file) {
    return std::string(BMC_CODEC_DIR) + "/" + file;
}

std::string Probe(const std::string& path) {
    return Shell("ffprobe -v error -select_streams a:0 -show_entries "
                 "stream=sample_rate,channels,bit_rate -of default=nw=1 " +
                 Quote(path));
}

// A 16-bit WAVE file of the music signal with exactly `frames` samples per channel.
std::vector<int16_t> MakeWave(const ScratchDir& dir, const std::string& wav, int rate, int channels,
                              long frames) {
    const std::string raw = dir / "signal.raw";
    auto pcm = MusicSignal(raw, rate, channels, frames);
    Shell("sox -t raw -r " + std::to_string(rate) + " -c " + std::to_string(channels) +
          " -b 16 -e signed " + Quote(raw) + " -t wav " + Quote(wav));
    return pcm;
}

} // namespace

// Every sample reaches the file, the last partial chunk included: mpg123 decodes exactly the
// input's length, and the music survives.
TEST(Mp3Conversion, WaveToMp3KeepsEverySample) {
    ScratchDir dir;
    TestRow row;
    const long frames = 44100 * 2 + 1000; // ends in the middle of an encoder chunk
    const auto pcm = MakeWave(dir, dir / "in.wav", 44100, 2, frames);
    UseMp3Output(row, dir / "out.mp3", 44100, true, 192);
    const Outcome outcome = Convert(row, dir / "in.wav");
    ASSERT_EQ(outcome.code, ConversionError::ceNone);
    EXPECT_FALSE(outcome.writeError);
    EXPECT_EQ(Probe(dir / "out.mp3"), "sample_rate=44100\nchannels=2\nbit_rate=192000\n");
    const auto decoded = ToSamples(Shell("mpg123 -q -s " + Quote(dir / "out.mp3")));
    ASSERT_EQ(decoded.size(), pcm.size());
    EXPECT_GT(Correlation(pcm, decoded), 0.98);
}

// Decoding gives what mpg123 gives, sample for sample, in blocks above 419430 bytes.
TEST(Mp3Conversion, Mp3ToWaveMatchesMpg123) {
    ScratchDir dir;
    TestRow row;
    MakeWave(dir, dir / "in.wav", 44100, 2, 44100 * 6);
    Shell("lame --quiet -b 160 --tt Title " + Quote(dir / "in.wav") + " " + Quote(dir / "in.mp3"));
    UseWaveOutput(row, dir / "out.wav");
    const Outcome outcome = Convert(row, dir / "in.mp3");
    ASSERT_EQ(outcome.code, ConversionError::ceNone);
    EXPECT_FALSE(outcome.writeError);
    // Six seconds of stereo PCM are 1058400 bytes: the constructor's block and two pumps.
    EXPECT_EQ(outcome.pumps, 1);
    const std::string theirs = Shell("mpg123 -q -s " + Quote(dir / "in.mp3"));
    const std::string wave = ReadFile(dir / "out.wav");
    const size_t data = wave.find("data");
    ASSERT_NE(data, std::string::npos);
    const std::string ours = wave.substr(data + 8);
    EXPECT_TRUE(ours == theirs) << ours.size() << " vs " << theirs.size();
}

TEST(Mp3Conversion, AShortFileIsDeliveredByTheConstructor) {
    ScratchDir dir;
    TestRow row;
    MakeWave(dir, dir / "in.wav", 44100, 1, 44100);
    Shell("lame --quiet -b 64 " + Quote(dir / "in.wav") + " " + Quote(dir / "in.mp3"));
    UseMp3Output(row, dir / "out.mp3", 44100, false, 64);
    ConversionError code = ConversionError::ceNone;
    auto source = OpenAudioSource((dir / "in.mp3").c_str(), row.Context(), code);
    ASSERT_EQ(code, ConversionError::ceNone);
    EXPECT_FALSE(source->Pump());
    int32_t progress[2] = {0, 0};
    source->GetProgress(progress);
    EXPECT_GT(progress[0], 0);
    EXPECT_EQ(progress[1], progress[0]);
    source.reset();
    EXPECT_EQ(Mpg123Decode(dir, dir / "out.mp3").samples, 44100);
}

TEST(Mp3Conversion, WithoutTheDecoderModuleMp3FailsAndWaveStillConverts) {
    ScratchDir dir;
    std::filesystem::create_directory(dir / "modules");
    TestRow row({dir / "modules/"});
    WriteFile(dir / "in.mp3", "not looked at");
    MakeWave(dir, dir / "in.wav", 44100, 2, 4410);
    UseWaveOutput(row, dir / "out.wav");
    const Outcome mp3 = Convert(row, dir / "in.mp3");
    EXPECT_EQ(mp3.code, ConversionError::ceCodec);
    EXPECT_EQ(ConversionErrorLine(mp3.code, dir / "in.mp3"),
              "Unable to load CODEC to convert '" + dir / "in.mp3" + "'.");
    EXPECT_EQ(Convert(row, dir / "in.wav").code, ConversionError::ceNone);
    EXPECT_EQ(Soxi(dir / "out.wav").samples, 4410);
    // Installed afterwards, the module serves the next file.
    std::filesystem::copy_file(BuiltModule(Mp3DecoderModuleFile),
                               dir / "modules/" + Mp3DecoderModuleFile);
    Shell("lame --quiet " + Quote(dir / "in.wav") + " " + Quote(dir / "in.mp3"));
    EXPECT_EQ(Convert(row, dir / "in.mp3").code, ConversionError::ceNone);
}

TEST(Mp3Conversion, WithoutAUsableEncoderModuleEveryMp3OutputFails) {
    ScratchDir dir;
    std::filesystem::create_directory(dir / "modules");
    TestRow row({dir / "modules/"});
    MakeWave(dir, dir / "in.wav", 44100, 2, 4410);
    UseMp3Output(row, dir / "out.mp3", 44100, true, 128);
    const Outcome missing = Convert(row, dir / "in.wav");
    EXPECT_EQ(missing.code, ConversionError::ceOutput);
    EXPECT_EQ(ConversionErrorLine(missing.code, dir / "in.wav"),
              "Device output error for '" + dir / "in.wav" + "'.");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.mp3"));
    // A module lacking an entry point is tried, refused, and never tried again.
    const std::string installed = dir / "modules/" + Mp3EncoderModuleFile;
    std::filesystem::copy_file(
        BMC_TEST_MODULE_DIR "/incomplete/" + std::string(Mp3EncoderModuleFile), installed);
    EXPECT_EQ(Convert(row, dir / "in.wav").code, ConversionError::ceOutput);
    std::filesystem::remove(installed);
    std::filesystem::copy_file(BuiltModule(Mp3EncoderModuleFile), installed);
    EXPECT_EQ(Convert(row, dir / "in.wav").code, ConversionError::ceOutput);
}

TEST(Mp3Conversion, AnEncoderErrorIsAWriteError) {
    ScratchDir dir;
    TestRow row({BMC_TEST_MODULE_DIR "/failing/"});
    MakeWave(dir, dir / "in.wav", 44100, 2, 44100);
    UseMp3Output(row, dir / "out.mp3", 44100, true, 128);
    const Outcome outcome = Convert(row, dir / "in.wav");
    EXPECT_EQ(outcome.code, ConversionError::ceNone);
    EXPECT_TRUE(outcome.writeError);
}

TEST(Mp3Conversion, AFullDiskIsAWriteError) {
    ScratchDir dir;
    TestRow row;
    MakeWave(dir, dir / "in.wav", 44100, 2, 44100);
    UseMp3Output(row, "/dev/full", 44100, true, 128);
    const Outcome outcome = Convert(row, dir / "in.wav");
    EXPECT_EQ(outcome.code, ConversionError::ceNone);
    EXPECT_TRUE(outcome.writeError);
}

TEST(Mp3Conversion, ADecoderThatKeepsFailingEndsTheStream) {
    ScratchDir dir;
    TestRow row({BMC_TEST_MODULE_DIR "/stuck/"});
    WriteFile(dir / "in.mp3", "anything");
    UseWaveOutput(row, dir / "out.wav");
    const Outcome outcome = Convert(row, dir / "in.mp3");
    EXPECT_EQ(outcome.code, ConversionError::ceNone);
    EXPECT_EQ(outcome.pumps, 0);
    EXPECT_EQ(Soxi(dir / "out.wav").samples, 0);
    EXPECT_EQ(row.result.InputError, ConversionError::ceRead); // it did not convert whole
}

// Files named .mp3 that hold something else: a read error or a short valid output, never a
// crash or a hang.
TEST(Mp3Conversion, NotMp3BehindAnMp3Name) {
    ScratchDir dir;
    TestRow row;
    MakeWave(dir, dir / "wave.mp3", 44100, 2, 44100);
    WriteFile(dir / "text.mp3", "These are the notes for the concert.\n");
    WriteFile(dir / "empty.mp3", "");
    WriteFile(dir / "id3.mp3",
              std::string("ID3\x04\x00\x00\x00\x00\x02\x00", 10) + std::string(256, '\0'));
    std::string noise(300000, '\0');
    std::mt19937 random(11);
    for (char& c : noise)
        c = static_cast<char>(random());
    WriteFile(dir / "noise.mp3", noise);
    UseWaveOutput(row, dir / "out.wav");
    for (const char* name : {"wave.mp3", "text.mp3", "empty.mp3", "id3.mp3", "noise.mp3"}) {
        SCOPED_TRACE(name);
        std::filesystem::remove(dir / "out.wav");
        const Outcome outcome = Convert(row, dir / name);
        if (outcome.code == ConversionError::ceNone) {
            EXPECT_LT(Soxi(dir / "out.wav").samples, 44100 * 4);
        } else {
            EXPECT_EQ(outcome.code, ConversionError::ceRead);
        }
    }
}

// The sink converts any PCM into the encoder's format: 48 kHz stereo into 32 kHz mono.
TEST(Mp3Conversion, WaveOfAnotherFormatBecomesTheChosenMp3) {
    ScratchDir dir;
    TestRow row;
    MakeWave(dir, dir / "in.wav", 48000, 2, 48000 * 3 / 2);
    UseMp3Output(row, dir / "out.mp3", 32000, false, 56);
    const Outcome outcome = Convert(row, dir / "in.wav");
    ASSERT_EQ(outcome.code, ConversionError::ceNone);
    EXPECT_FALSE(outcome.writeError);
    EXPECT_EQ(Probe(dir / "out.mp3"), "sample_rate=32000\nchannels=1\nbit_rate=56000\n");
    const SoxInfo decoded = Mpg123Decode(dir, dir / "out.mp3");
    EXPECT_NEAR(decoded.samples, 32000 * 3 / 2, 1152);
    EXPECT_EQ(decoded.channels, 1);
}

// A 22050 Hz mono MP3 becomes 44100 Hz stereo WAVE of the same duration.
TEST(Mp3Conversion, Mp3OfAnotherFormatBecomesTheChosenWave) {
    ScratchDir dir;
    TestRow row;
    MakeWave(dir, dir / "in.wav", 44100, 1, 44100);
    Shell("lame --quiet -m m --resample 22.05 -b 48 " + Quote(dir / "in.wav") + " " +
          Quote(dir / "in.mp3"));
    const long mp3Samples = Mpg123Decode(dir, dir / "in.mp3").samples;
    UseWaveOutput(row, dir / "out.wav");
    ASSERT_EQ(Convert(row, dir / "in.mp3").code, ConversionError::ceNone);
    const SoxInfo out = Soxi(dir / "out.wav");
    EXPECT_EQ(out.rate, 44100);
    EXPECT_EQ(out.channels, 2);
    EXPECT_NEAR(out.samples, mp3Samples * 2, 64);
}

// A sink that cannot encode the source's format creates no file: no junk output is left behind.
TEST(Mp3Conversion, SinksThatCannotTakeTheFormatLeaveNoFile) {
    ScratchDir dir;
    TestRow row;
    const WAVEFORMATEX odd{0x7777, 2, 44100, 176400, 4, 16, 0};
    for (const uint8_t target : {tfMp3, tfWMA}) {
        SCOPED_TRACE(int(target));
        row.settings.TargetFormat = target;
        row.output = dir / "out";
        row.ClearResult();
        bool ok = true;
        { OutputSink holder(&odd, row.Context(), ok); }
        EXPECT_FALSE(ok);
        EXPECT_FALSE(std::filesystem::exists(dir / "out"));
        EXPECT_FALSE(row.result.WriteError);
    }
}
