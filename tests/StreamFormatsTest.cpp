// Conversions to and from FLAC, Opus and Vorbis through the source factory, the sink holder and
// the codec modules, checked with ffmpeg, ffprobe and flac.
#include <gtest/gtest.h>

#include "Mp3TestSupport.h"
#include "RowTestSupport.h"
#include "TargetNumbers.h"
#include "engine/ConversionError.h"
#include "engine/OpenAudioSource.h"

using namespace mp3test;

namespace {

struct Outcome {
    ConversionError code = ConversionError::ceNone;
    ConversionError inputError = ConversionError::ceNone;
    bool writeError = false;
};

// Converts one file the way the worker does: open, pump to the end, destroy, read the flags.
Outcome Convert(TestRow& row, uint8_t target, const std::string& input, const std::string& out) {
    Outcome outcome;
    row.ClearResult();
    row.settings.TargetFormat = target;
    row.output = out;
    auto source = OpenAudioSource(input.c_str(), row.Context(), outcome.code);
    EXPECT_NE(source, nullptr) << input;
    if (!source)
        return outcome;
    for (int pumps = 0; outcome.code == ConversionError::ceNone && source->Pump(); ++pumps)
        EXPECT_LT(pumps, 10000) << "the source never ends";
    source.reset();
    outcome.inputError = row.result.InputError;
    outcome.writeError = row.result.WriteError;
    return outcome;
}

void ExpectConverted(const Outcome& o) {
    EXPECT_EQ(o.code, ConversionError::ceNone);
    EXPECT_EQ(o.inputError, ConversionError::ceNone);
    EXPECT_FALSE(o.writeError);
}

// The audio as ffmpeg decodes it, 32-bit, so that any depth compares with any other.
std::string DecodedMd5(const std::string& path) {
    return Shell("ffmpeg -v error -i " + Quote(path) + " -f s32le - | md5sum");
}

long DecodedFrames(const std::string& path) {
    const long channels = std::stol(
        Shell("ffprobe -v error -show_entries stream=channels -of csv=p=0 " + Quote(path)));
    return std::stol(Shell("ffmpeg -v error -i " + Quote(path) + " -f f32le - | wc -c")) / 4 /
           channels;
}

std::string Probe(const std::string& path, const std::string& fields) {
    return Shell("ffprobe -v error -select_streams a:0 -show_entries stream=" + fields +
                 " -of csv=p=0 " + Quote(path));
}

// A tone of exactly `frames` frames; soxFormat gives rate, channels and depth.
std::string Tone(const ScratchDir& dir, const std::string& name, const std::string& soxFormat,
                 long frames) {
    const std::string path = dir / name;
    Shell("sox -q " + soxFormat + " -n " + soxFormat + " " + Quote(path) + " synth " +
          std::to_string(frames) + "s sine 200-900 sine 3000 tremolo 5 40 gain -4");
    return path;
}

} // namespace

// FLAC keeps every bit at each depth (8-bit input becomes 16-bit, losing nothing), with its
// MD5 set so that flac -t checks it; and reading it back delivers the same bits again.
TEST(StreamFormats, FlacKeepsEveryBitAndReadsBackExactly) {
    ScratchDir dir;
    TestRow row;
    const std::pair<std::string, std::string> cases[] = {
        {"-r 44100 -c 2 -b 16", "16"}, {"-r 96000 -c 2 -b 24", "24"}, {"-r 22050 -c 1 -b 8", "16"}};
    int n = 0;
    for (const auto& [format, bits] : cases) {
        SCOPED_TRACE(format);
        const std::string wav = Tone(dir, "in" + std::to_string(++n) + ".wav", format, 33333);
        const std::string flac = dir / "out.flac";
        ExpectConverted(Convert(row, tfFlac, wav, flac));
        Shell("flac -s -t " + Quote(flac));
        EXPECT_EQ(Probe(flac, "bits_per_raw_sample"), bits + "\n");
        EXPECT_EQ(DecodedMd5(flac), DecodedMd5(wav));
        EXPECT_EQ(Shell("metaflac --show-total-samples " + Quote(flac)), "33333\n");

        const std::string again = dir / "again.flac";
        ExpectConverted(Convert(row, tfFlac, flac, again));
        EXPECT_EQ(DecodedMd5(again), DecodedMd5(wav));
    }
}

// The lossy outputs decode to exactly the input's frames: Vorbis at the input's rate, Opus at
// 48 kHz with the input's rate recorded in its header; reading them back keeps the count.
TEST(StreamFormats, LossyOutputsDecodeToTheInputsLength) {
    ScratchDir dir;
    TestRow row;
    const std::string wav = Tone(dir, "in.wav", "-r 44100 -c 2 -b 16", 145530); // 3.3 s
    const std::string ogg = dir / "out.ogg";
    ExpectConverted(Convert(row, tfVorbis, wav, ogg));
    EXPECT_EQ(Probe(ogg, "codec_name,sample_rate,channels"), "vorbis,44100,2\n");
    EXPECT_EQ(DecodedFrames(ogg), 145530);

    const std::string opus = dir / "out.opus";
    ExpectConverted(Convert(row, tfOpus, wav, opus));
    EXPECT_EQ(Probe(opus, "codec_name,sample_rate,channels"), "opus,48000,2\n");
    EXPECT_EQ(DecodedFrames(opus), 158400);
    EXPECT_NE(Shell("opusinfo " + Quote(opus)).find("Original sample rate: 44100 Hz"),
              std::string::npos);

    // Back through our own sources into FLAC, which keeps whatever they deliver.
    const std::string fromOgg = dir / "from-ogg.flac";
    ExpectConverted(Convert(row, tfFlac, ogg, fromOgg));
    EXPECT_EQ(DecodedFrames(fromOgg), 145530);
    EXPECT_EQ(Probe(fromOgg, "bits_per_raw_sample"), "24\n");
    const std::string fromOpus = dir / "from-opus.flac";
    ExpectConverted(Convert(row, tfFlac, opus, fromOpus));
    EXPECT_EQ(DecodedFrames(fromOpus), 158400);
}

// Each format's setting reaches its encoder, and the channels and rate follow the job when it
// names them.
TEST(StreamFormats, SettingsReachTheEncoders) {
    ScratchDir dir;
    TestRow row;
    const std::string wav = Tone(dir, "in.wav", "-r 48000 -c 2 -b 16", 96000);
    auto size = [&](uint8_t target, std::string_view flag, int32_t value) {
        row.settings.Options.Set(OptionOf(target, flag), value);
        const std::string out = dir / ("out" + std::to_string(value) + ".x");
        ExpectConverted(Convert(row, target, wav, out));
        return std::filesystem::file_size(out);
    };
    EXPECT_LT(size(tfFlac, "--compression-level", 8), size(tfFlac, "--compression-level", 0));
    EXPECT_LT(size(tfOpus, "--bitrate", 32) * 4, size(tfOpus, "--bitrate", 256));
    EXPECT_LT(size(tfVorbis, "--quality", -1) * 3, size(tfVorbis, "--quality", 10));

    row.settings.Options.Set(OptionOf(tfFlac, "--channels"), 1);
    row.settings.Options.Set(OptionOf(tfFlac, "--rate"), 22050);
    const std::string flac = dir / "mono.flac";
    ExpectConverted(Convert(row, tfFlac, wav, flac));
    EXPECT_EQ(Probe(flac, "sample_rate,channels"), "22050,1\n");
    EXPECT_EQ(DecodedFrames(flac), 44100);
    const std::string ogg = dir / "mono.ogg";
    ExpectConverted(Convert(row, tfVorbis, wav, ogg));
    EXPECT_EQ(Probe(ogg, "sample_rate,channels"), "22050,1\n");
}

// Empty, cut short or mislabelled inputs of each type end as unreadable, never as converted.
TEST(StreamFormats, HostileInputsAreUnreadable) {
    ScratchDir dir;
    TestRow row;
    const std::string wav = Tone(dir, "in.wav", "-r 44100 -c 2 -b 16", 88200);
    const std::string flac = dir / "good.flac";
    const std::string ogg = dir / "good.ogg";
    const std::string opus = dir / "good.opus";
    ExpectConverted(Convert(row, tfFlac, wav, flac));
    ExpectConverted(Convert(row, tfVorbis, wav, ogg));
    ExpectConverted(Convert(row, tfOpus, wav, opus));
    const std::string mp3 = dir / "x.mp3";
    Shell("lame --quiet " + Quote(wav) + " " + Quote(mp3));
    auto cut = [&](const std::string& from, const std::string& to, double part) {
        const std::string bytes = ReadFile(from);
        WriteFile(dir / to, bytes.substr(0, static_cast<std::size_t>(bytes.size() * part)));
        return dir / to;
    };
    const std::string hostile[] = {
        cut(flac, "empty.flac", 0),      cut(flac, "cut.flac", 0.6), cut(flac, "header.flac", 0.01),
        cut(ogg, "cut.ogg", 0.6),        cut(opus, "cut.opus", 0.6), cut(mp3, "mp3.flac", 1),
        cut(ogg, "vorbis.opus", 1),      cut(opus, "opus.ogg", 1),   cut(wav, "wave.oga", 1),
        cut(ogg, "cut-header.ogg", 0.02)};
    for (const std::string& input : hostile) {
        SCOPED_TRACE(input);
        const Outcome o = Convert(row, tfFlac, input, dir / "out.flac");
        EXPECT_TRUE(o.code == ConversionError::ceRead || o.inputError == ConversionError::ceRead);
    }
}
