// The MP3 encoder module through its C interface, checked with ffprobe and mpg123.
#include <gtest/gtest.h>

#include "Mp3TestSupport.h"
#include "formats/mp3/Mp3Sink.h"

using namespace mp3test;

namespace {

using Encoder = Mp3Sink::Encoder;

Encoder LoadEncoder() {
    CodecModule& module = EncoderModule();
    EXPECT_TRUE(module.Load());
    return Mp3Sink::ResolveEncoder(module);
}

Mp3EncoderConfig Config(uint32_t rate, bool stereo, uint16_t bitRate) {
    return Mp3EncoderConfig{
        Mp3EncoderKindMp3, rate, stereo ? Mp3ModeStereo : Mp3ModeMono, bitRate, 0, 0, 0, 0};
}

// Encodes pcm chunk by chunk into path, the way the MP3 sink does: whole chunks, the remainder,
// the final bytes, then the Info tag over the placeholder frame. tagged tells whether the
// stream had room for the tag.
void EncodeFile(bool& tagged, const std::vector<int16_t>& pcm, const Mp3EncoderConfig& config,
                const std::string& path) {
    tagged = false;
    const Encoder enc = LoadEncoder();
    ASSERT_TRUE(enc.init && enc.encode && enc.deinit && enc.close && enc.infoTag);
    uint32_t chunk = 0, outSize = 0;
    Mp3EncoderHandle stream = nullptr;
    ASSERT_EQ(enc.init(&config, &chunk, &outSize, &stream), 0u);
    std::vector<uint8_t> out(outSize);
    std::string file;
    for (size_t at = 0; at < pcm.size(); at += chunk) {
        const auto count = static_cast<uint32_t>(std::min<size_t>(chunk, pcm.size() - at));
        uint32_t bytes = 0;
        ASSERT_EQ(enc.encode(stream, count, pcm.data() + at, out.data(), &bytes), 0u);
        ASSERT_LE(bytes, outSize);
        file.append(reinterpret_cast<char*>(out.data()), bytes);
    }
    uint32_t bytes = 0;
    ASSERT_EQ(enc.deinit(stream, out.data(), &bytes), 0u);
    file.append(reinterpret_cast<char*>(out.data()), bytes);
    ASSERT_EQ(enc.infoTag(stream, out.data(), outSize, &bytes), 0u);
    ASSERT_LE(bytes, file.size());
    tagged = bytes > 0;
    file.replace(0, bytes, reinterpret_cast<char*>(out.data()), bytes);
    EXPECT_EQ(enc.close(stream), 0u);
    WriteFile(path, file);
}

std::string Probe(const std::string& path) {
    return Shell("ffprobe -v error -select_streams a:0 -show_entries "
                 "stream=sample_rate,channels,bit_rate -of default=nw=1 " +
                 Quote(path));
}

// Decoded samples per channel, as mpg123 writes them.
long Mpg123Length(const std::string& mp3, int channels) {
    return static_cast<long>(Shell("mpg123 -q -s " + Quote(mp3) + " 2>/dev/null").size()) /
           (2 * channels);
}

struct RateAndChannels {
    uint32_t rate;
    int channels;
};

class EncoderAt : public testing::TestWithParam<RateAndChannels> {};

} // namespace

// Every bit rate at one sample rate and channel count: ffprobe sees what was asked for, and
// mpg123 decodes exactly the input's length (the Info tag carries delay and padding).
TEST_P(EncoderAt, EveryBitRateIsWhatWasAskedFor) {
    const auto [rate, channels] = GetParam();
    ScratchDir dir;
    const long frames = rate / 5 + 77; // not a whole number of MP3 frames
    const auto pcm = MusicSignal(dir / "in.raw", static_cast<int>(rate), channels, frames);
    for (const uint16_t bitRate : {320, 256, 192, 160, 128, 96, 64, 56}) {
        SCOPED_TRACE(std::to_string(bitRate) + " kbit/s");
        const std::string mp3 = dir / (std::to_string(bitRate) + ".mp3");
        bool tagged = false;
        EncodeFile(tagged, pcm, Config(rate, channels == 2, bitRate), mp3);
        const std::string expected = "sample_rate=" + std::to_string(rate) +
                                     "\nchannels=" + std::to_string(channels) +
                                     "\nbit_rate=" + std::to_string(bitRate * 1000) + "\n";
        EXPECT_EQ(Probe(mp3), expected);
        const long decoded = Mpg123Length(mp3, channels);
        // A 56 kbit/s frame at 44.1/48 kHz (stereo) or 48 kHz (mono) is too small for LAME's
        // tag; without it a decoder keeps the encoder delay and the padding.
        const bool tagFits = bitRate > 56 || rate == 32000 || (channels == 1 && rate == 44100);
        EXPECT_EQ(tagged, tagFits);
        if (tagFits) {
            EXPECT_EQ(decoded, frames);
        } else {
            EXPECT_GE(decoded, frames + 576);
            EXPECT_LE(decoded, frames + 576 + 2 * 1152);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Mp3EncoderModule, EncoderAt,
                         testing::Values(RateAndChannels{48000, 2}, RateAndChannels{48000, 1},
                                         RateAndChannels{44100, 2}, RateAndChannels{44100, 1},
                                         RateAndChannels{32000, 2}, RateAndChannels{32000, 1}),
                         [](const testing::TestParamInfo<RateAndChannels>& info) {
                             return std::to_string(info.param.rate) +
                                    (info.param.channels == 2 ? "Stereo" : "Mono");
                         });

TEST(Mp3EncoderModule, MusicKeepsItsShapeThroughTheRoundTrip) {
    ScratchDir dir;
    struct Case {
        uint32_t rate;
        int channels;
        uint16_t bitRate;
        double minCorrelation;
    };
    for (const Case c : {Case{44100, 2, 128, 0.98}, Case{32000, 1, 56, 0.95}}) {
        SCOPED_TRACE(c.bitRate);
        const auto pcm = MusicSignal(dir / "in.raw", static_cast<int>(c.rate), c.channels, c.rate);
        const std::string mp3 = dir / "music.mp3";
        bool tagged = false;
        EncodeFile(tagged, pcm, Config(c.rate, c.channels == 2, c.bitRate), mp3);
        const auto decoded = ToSamples(Shell("mpg123 -q -s " + Quote(mp3) + " 2>/dev/null"));
        ASSERT_EQ(decoded.size(), pcm.size());
        EXPECT_GT(Correlation(pcm, decoded), c.minCorrelation);
    }
}

TEST(Mp3EncoderModule, ReportsChunkAndBufferSizes) {
    const Encoder enc = LoadEncoder();
    for (const bool stereo : {true, false}) {
        const Mp3EncoderConfig config = Config(44100, stereo, 128);
        uint32_t chunk = 0, outSize = 0;
        Mp3EncoderHandle stream = nullptr;
        ASSERT_EQ(enc.init(&config, &chunk, &outSize, &stream), 0u);
        EXPECT_EQ(chunk, stereo ? 2304u : 1152u);
        EXPECT_GE(outSize, 7200u + 1152u);
        // Neither a partial sample frame nor more than one chunk is taken.
        std::vector<int16_t> pcm(chunk * 2);
        std::vector<uint8_t> out(outSize);
        uint32_t bytes = 0;
        EXPECT_NE(enc.encode(stream, chunk + (stereo ? 2 : 1), pcm.data(), out.data(), &bytes), 0u);
        if (stereo) {
            EXPECT_NE(enc.encode(stream, 3, pcm.data(), out.data(), &bytes), 0u);
        }
        EXPECT_EQ(enc.deinit(stream, out.data(), &bytes), 0u);
        // A finished stream takes no more samples.
        EXPECT_NE(enc.encode(stream, 2, pcm.data(), out.data(), &bytes), 0u);
        EXPECT_EQ(enc.close(stream), 0u);
    }
}

TEST(Mp3EncoderModule, RefusesConfigurationsItCannotHonour) {
    const Encoder enc = LoadEncoder();
    uint32_t chunk = 0, outSize = 0;
    Mp3EncoderHandle stream = nullptr;
    Mp3EncoderConfig config = Config(44100, true, 128);
    config.kind = 1;
    EXPECT_NE(enc.init(&config, &chunk, &outSize, &stream), 0u);
    config = Config(44100, true, 100); // no such MPEG bit rate
    EXPECT_NE(enc.init(&config, &chunk, &outSize, &stream), 0u);
    config = Config(12345, true, 128);
    EXPECT_NE(enc.init(&config, &chunk, &outSize, &stream), 0u);
    config = Config(44100, true, 128);
    config.mode = 7;
    EXPECT_NE(enc.init(&config, &chunk, &outSize, &stream), 0u);
    EXPECT_EQ(stream, nullptr);
    EXPECT_NE(enc.init(nullptr, &chunk, &outSize, &stream), 0u);
}

TEST(Mp3EncoderModule, AStreamShorterThanOneChunkKeepsItsLength) {
    ScratchDir dir;
    const auto pcm = MusicSignal(dir / "in.raw", 44100, 2, 100);
    bool tagged = false;
    EncodeFile(tagged, pcm, Config(44100, true, 128), dir / "short.mp3");
    EXPECT_EQ(Mpg123Length(dir / "short.mp3", 2), 100);
}
