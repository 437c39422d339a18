// The MP3 decoder module through its C interface, against files made by lame and ffmpeg and
// against what mpg123 decodes from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>

#include "Mp3TestSupport.h"
#include "formats/mp3/Mp3Source.h"

using namespace mp3test;

namespace {

using Decoder = Mp3Source::Decoder;

Decoder LoadDecoder() {
    CodecModule& m = DecoderModule();
    EXPECT_TRUE(m.Load());
    return Mp3Source::ResolveDecoder(m);
}

struct Decoded {
    bool opened = false;
    std::string pcm;
    uint32_t rate = 0;
    int channels = 0;
};

// Opens path the way the MP3 source does and decodes it to the end, checking every call.
Decoded DecodeWithModule(const std::string& path) {
    const Decoder d = LoadDecoder();
    Decoded result;
    Mp3Decoder* decoder = nullptr;
    EXPECT_EQ(d.create(&decoder), 0);
    if (!decoder)
        return result;
    Mp3InputModule module{};
    d.fileModule(&module);
    d.registerModule(decoder, &module);
    result.opened =
        d.inputNew(decoder, path.c_str(), Mp3InputModuleAuto) == 0 && d.inputOpen(decoder) == 0;
    if (result.opened) {
        // Guard bytes after the per-call limit catch any overrun.
        std::vector<uint8_t> buffer(Mp3DecMaxBytesPerDecode + 4096, 0xA5);
        uint32_t lastPosition = 0;
        int failures = 0;
        for (;;) {
            const int rc = d.decode(decoder, buffer.data());
            if (rc == Mp3DecEndOfInput)
                break;
            if (rc != 0) {
                EXPECT_LT(++failures, 100) << "the decoder keeps failing";
                if (failures >= 100)
                    break;
                continue;
            }
            const uint32_t bytes = decoder->output->byteCount;
            EXPECT_LE(bytes, Mp3DecMaxBytesPerDecode);
            const uint32_t align = 2 * (decoder->output->stereo + 1);
            EXPECT_EQ(bytes % align, 0u);
            EXPECT_GE(decoder->input->position, lastPosition);
            EXPECT_LE(decoder->input->position, decoder->input->size);
            lastPosition = decoder->input->position;
            result.pcm.append(reinterpret_cast<char*>(buffer.data()), bytes);
        }
        EXPECT_EQ(std::count(buffer.begin() + Mp3DecMaxBytesPerDecode, buffer.end(), 0xA5), 4096);
        EXPECT_EQ(d.decode(decoder, buffer.data()), Mp3DecEndOfInput);
        EXPECT_EQ(decoder->input->position, decoder->input->size);
        EXPECT_EQ(decoder->output->bytesPerSample, 2u);
        result.rate = decoder->output->sampleRate;
        result.channels = static_cast<int>(decoder->output->stereo + 1);
        EXPECT_EQ(d.inputClose(decoder), 0);
    }
    EXPECT_EQ(d.destroy(decoder), 0);
    return result;
}

void MakeWave(const std::string& wav, int rate, int channels, double seconds) {
    Shell("sox -r 48000 -c " + std::to_string(channels) + " -n -r " + std::to_string(rate) +
          " -b 16 -t wav " + Quote(wav) + " synth " + std::to_string(seconds) +
          " pluck C3 pluck E4 rate " + std::to_string(rate));
}

// The decoder agrees with mpg123 sample for sample, and ffprobe's rate and channel count.
void ExpectSameAsMpg123(const std::string& mp3) {
    const Decoded ours = DecodeWithModule(mp3);
    ASSERT_TRUE(ours.opened);
    const std::string theirs = Shell("mpg123 -q -s " + Quote(mp3) + " 2>/dev/null");
    EXPECT_EQ(ours.pcm.size(), theirs.size());
    EXPECT_TRUE(ours.pcm == theirs) << "the decoded samples differ";
    const std::string probe = Shell("ffprobe -v error -select_streams a:0 -show_entries "
                                    "stream=sample_rate,channels -of default=nw=1 " +
                                    Quote(mp3));
    EXPECT_EQ(probe, "sample_rate=" + std::to_string(ours.rate) +
                         "\nchannels=" + std::to_string(ours.channels) + "\n");
}

std::string ApeTag() {
    auto u32 = [](uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    const std::string item = u32(5) + u32(0) + "Title" + '\0' + "Hello";
    const std::string footer = "APETAGEX" + u32(2000) +
                               u32(static_cast<uint32_t>(item.size() + 32)) + u32(1) + u32(0) +
                               std::string(8, '\0');
    return item + footer;
}

} // namespace

TEST(Mp3DecoderModule, DecodesWhatLameAndFfmpegMakeLikeMpg123) {
    ScratchDir dir;
    const std::string stereo = dir / "stereo.wav";
    MakeWave(stereo, 44100, 2, 1.5);
    struct Case {
        const char* name;
        std::string command;
    };
    const std::string in = Quote(stereo);
    const Case cases[] = {
        {"cbr.mp3", "lame --quiet -b 128 " + in},
        {"vbr.mp3", "lame --quiet -V 4 " + in},
        {"mono.mp3", "lame --quiet -m m -b 64 " + in},
        {"mpeg2-22050.mp3", "lame --quiet --resample 22.05 -b 64 " + in},
        {"mpeg25-11025.mp3", "lame --quiet --resample 11.025 -b 32 " + in},
        {"ffmpeg-24000.mp3", "ffmpeg -v error -i " + in + " -ar 24000 -c:a libmp3lame -b:a 64k"},
        {"ffmpeg-vbr-mono.mp3", "ffmpeg -v error -i " + in + " -ac 1 -c:a libmp3lame -q:a 5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Shell(c.command + " " + Quote(dir / c.name));
        ExpectSameAsMpg123(dir / c.name);
    }
}

TEST(Mp3DecoderModule, SkipsALargeId3v2TagWithAPictureAndAnApeTag) {
    ScratchDir dir;
    const std::string wav = dir / "in.wav";
    MakeWave(wav, 44100, 2, 1.0);
    const std::string picture = dir / "cover.png";
    Shell("ffmpeg -v error -f lavfi -i 'nullsrc=s=400x400,geq=random(1)*255:128:128' "
          "-frames:v 1 " +
          Quote(picture));
    const std::string tagged = dir / "tagged.mp3";
    Shell("lame --quiet -b 192 --tt Title --ta Artist --ti " + Quote(picture) + " " + Quote(wav) +
          " " + Quote(tagged));
    ASSERT_GT(std::filesystem::file_size(tagged), std::filesystem::file_size(picture));
    ExpectSameAsMpg123(tagged);
    const std::string ape = dir / "ape.mp3";
    WriteFile(ape, ReadFile(tagged) + ApeTag());
    const Decoded withApe = DecodeWithModule(ape);
    EXPECT_EQ(withApe.pcm, DecodeWithModule(tagged).pcm);
}

TEST(Mp3DecoderModule, ResynchronisesAfterCorruptFrames) {
    ScratchDir dir;
    const std::string wav = dir / "in.wav";
    MakeWave(wav, 44100, 2, 2.0);
    const std::string mp3 = dir / "in.mp3";
    Shell("lame --quiet -b 128 " + Quote(wav) + " " + Quote(mp3));
    std::string bytes = ReadFile(mp3);
    const size_t intact = DecodeWithModule(mp3).pcm.size();
    std::mt19937 random(5);
    for (size_t i = bytes.size() / 3; i < bytes.size() / 3 + 3000; ++i)
        bytes[i] = static_cast<char>(random());
    WriteFile(dir / "corrupt.mp3", bytes);
    const Decoded corrupt = DecodeWithModule(dir / "corrupt.mp3");
    ASSERT_TRUE(corrupt.opened);
    EXPECT_GT(corrupt.pcm.size(), intact * 8 / 10);
    EXPECT_LE(corrupt.pcm.size(), intact + 44100 * 4 / 10);
}

TEST(Mp3DecoderModule, RefusesWhatIsNotMpegAudio) {
    ScratchDir dir;
    WriteFile(dir / "empty.mp3", "");
    WriteFile(dir / "text.mp3", std::string(2000, 'x') + "Just some notes, not music.\n");
    // An ID3v2 tag of 2000 bytes of padding and nothing after it.
    WriteFile(dir / "id3only.mp3",
              std::string("ID3\x03\x00\x00\x00\x00\x0f\x50", 10) + std::string(2000, '\0'));
    MakeWave(dir / "wave.mp3", 44100, 2, 0.5);
    for (const char* name : {"empty.mp3", "text.mp3", "id3only.mp3", "wave.mp3"}) {
        SCOPED_TRACE(name);
        const Decoded result = DecodeWithModule(dir / name);
        EXPECT_FALSE(result.opened && !result.pcm.empty());
    }
    EXPECT_FALSE(DecodeWithModule(dir / "missing.mp3").opened);
    EXPECT_FALSE(DecodeWithModule(dir.Path()).opened);
    // Random bytes may hold chance frame headers: they decode to the end or are refused.
    std::string noise(200000, '\0');
    std::mt19937 random(7);
    for (char& c : noise)
        c = static_cast<char>(random());
    WriteFile(dir / "noise.mp3", noise);
    DecodeWithModule(dir / "noise.mp3");
}

TEST(Mp3DecoderModule, KeepsTheFirstFormatWhenTheStreamChangesIt) {
    ScratchDir dir;
    const std::string wav = dir / "in.wav";
    MakeWave(wav, 44100, 2, 1.0);
    Shell("lame --quiet -b 128 " + Quote(wav) + " " + Quote(dir / "a.mp3"));
    Shell("lame --quiet -m m --resample 22.05 -b 32 " + Quote(wav) + " " + Quote(dir / "b.mp3"));
    WriteFile(dir / "joined.mp3", ReadFile(dir / "a.mp3") + ReadFile(dir / "b.mp3"));
    const Decoded joined = DecodeWithModule(dir / "joined.mp3");
    ASSERT_TRUE(joined.opened);
    EXPECT_EQ(joined.rate, 44100u);
    EXPECT_EQ(joined.channels, 2);
    // Both halves arrive in the first half's format: about two seconds of 44.1 kHz stereo.
    EXPECT_GT(joined.pcm.size(), 44100u * 4 * 18 / 10);
    EXPECT_LT(joined.pcm.size(), 44100u * 4 * 22 / 10);
}

namespace {
// An ID3v2.3 tag of frames tiny TXXX frames ("d<n>" = "v"). Frame sizes are plain big-endian
// numbers, the tag's size is a synchsafe one.
std::string TagOfManyFrames(int frames) {
    const auto be32 = [](uint32_t v, bool synchsafe) {
        const int shift = synchsafe ? 7 : 8;
        std::string bytes(4, '\0');
        for (int i = 3; i >= 0; --i, v >>= shift) {
            bytes[i] = static_cast<char>(v & (synchsafe ? 0x7F : 0xFF));
        }
        return bytes;
    };
    std::string body;
    for (int i = 0; i < frames; ++i) {
        const std::string text = std::string(1, '\0') + "d" + std::to_string(i) + '\0' + "v";
        body +=
            "TXXX" + be32(static_cast<uint32_t>(text.size()), false) + std::string(2, '\0') + text;
    }
    return std::string("ID3\x03\x00\x00", 6) + be32(static_cast<uint32_t>(body.size()), true) +
           body;
}
} // namespace

// A tag of 80,000 frames before the audio: the decoder skips it unparsed (libmpg123, ffprobe and
// mutagen take from a minute up to parse one) and decodes the same samples as without it.
TEST(Mp3DecoderModule, SkipsATagOfManyFramesQuickly) {
    ScratchDir dir;
    const std::string wav = dir / "in.wav";
    MakeWave(wav, 44100, 2, 0.5);
    const std::string plain = dir / "plain.mp3";
    Shell("lame --quiet -b 128 " + Quote(wav) + " " + Quote(plain));
    ExpectSameAsMpg123(plain);
    // mutagen, which we did not write, reads a small tag made the same way.
    WriteFile(dir / "small.mp3", TagOfManyFrames(3) + ReadFile(plain));
    EXPECT_EQ(Shell("mutagen-inspect " + Quote(dir / "small.mp3") + " | grep -c '^TXXX=d[0-2]=v$'"),
              "3\n");

    const std::string tagged = dir / "tagged.mp3";
    WriteFile(tagged, TagOfManyFrames(80000) + ReadFile(plain));
    const auto start = std::chrono::steady_clock::now();
    const Decoded decoded = DecodeWithModule(tagged);
    const auto took = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(decoded.opened);
    EXPECT_EQ(decoded.pcm, DecodeWithModule(plain).pcm);
    EXPECT_LT(took, std::chrono::seconds(2));
}
