// One wave format conversion's own contract: what it opens and refuses and why, sizes, the
// start and end of a stream, and the quality of its resampling.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "acm/WaveFormatCatalog.h"
#include "acm/WaveFormatConversion.h"
#include "tests/FormatConversionTestSupport.h"

using namespace conversiontest;

namespace {
WaveConversionResult TryOpen(const std::vector<uint8_t>& from, const std::vector<uint8_t>& to) {
    auto result = WaveConversionResult::Opened;
    WaveFormatConversion::Open(from, to, &result);
    return result;
}

WaveFormatConversion OpenOrNothing(const std::vector<uint8_t>& from,
                                   const std::vector<uint8_t>& to) {
    return WaveFormatConversion::Open(from, to);
}
} // namespace

TEST(WaveFormatConversion, RefusesHostileRecords) {
    const auto good = Bytes(MakePcmFormat(2, 44100, 16));
    auto with = [](auto change) {
        WAVEFORMATEX f = MakePcmFormat(2, 44100, 16);
        change(f);
        return Bytes(f);
    };
    const std::vector<std::vector<uint8_t>> bad = {
        with([](WAVEFORMATEX& f) { f.nChannels = 0; }),
        with([](WAVEFORMATEX& f) { f.nBlockAlign = 0; }),
        with([](WAVEFORMATEX& f) { f.nBlockAlign = 3; }),
        with([](WAVEFORMATEX& f) { f.nSamplesPerSec = 0; }),
        with([](WAVEFORMATEX& f) { f.nSamplesPerSec = 4000000000u; }),
        with([](WAVEFORMATEX& f) { f.wBitsPerSample = 0; }),
        with([](WAVEFORMATEX& f) { f.wFormatTag = 0x7777; }),
        with([](WAVEFORMATEX& f) { f.cbSize = 40; }), // claims bytes that are not there
        with([](WAVEFORMATEX& f) { f.wFormatTag = WAVE_FORMAT_EXTENSIBLE; }),
        {1, 0, 2, 0}, // shorter than a record
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        EXPECT_NE(TryOpen(bad[i], good), WaveConversionResult::Opened) << i;
        EXPECT_NE(TryOpen(good, bad[i]), WaveConversionResult::Opened) << i;
        EXPECT_FALSE(OpenOrNothing(bad[i], good)) << i;
    }
    // A source that contradicts itself is told apart from a sound one nothing here reads; a
    // destination is only ever not possible.
    EXPECT_EQ(TryOpen(bad[7], good), WaveConversionResult::MalformedSource);
    EXPECT_EQ(TryOpen(bad[6], good), WaveConversionResult::NotPossible);
    EXPECT_EQ(TryOpen(good, bad[7]), WaveConversionResult::NotPossible);
    // Writing a readable-only format, and coded to coded, are refused: callers go through PCM.
    WAVEFORMATEX mp3{WAVE_FORMAT_MPEGLAYER3, 2, 44100, 16000, 1, 0, 0};
    EXPECT_EQ(TryOpen(good, Bytes(mp3)), WaveConversionResult::NotPossible);
    const auto ima = WaveFormatCatalog::MakeRecord(WAVE_FORMAT_IMA_ADPCM, 2, 44100, 4);
    const auto alaw = WaveFormatCatalog::MakeRecord(WAVE_FORMAT_ALAW, 2, 44100, 8);
    EXPECT_EQ(TryOpen(ima, alaw), WaveConversionResult::NotPossible);
    // A compressed format reaches PCM of its own rate and channels only.
    EXPECT_EQ(TryOpen(ima, Bytes(MakePcmFormat(2, 44100, 8))), WaveConversionResult::Opened);
    EXPECT_EQ(TryOpen(ima, Bytes(MakePcmFormat(1, 44100, 16))), WaveConversionResult::NotPossible);
    EXPECT_EQ(TryOpen(good, ima), WaveConversionResult::Opened);
    EXPECT_EQ(TryOpen(Bytes(MakePcmFormat(1, 8000, 8)), ima), WaveConversionResult::NotPossible);
    // An IMA record whose samples per block disagree with its block size.
    auto odd = ima;
    odd[18] ^= 1;
    EXPECT_EQ(TryOpen(good, odd), WaveConversionResult::NotPossible);
}

TEST(WaveFormatConversion, SizesBothWaysAndAnEmptyConversionDoesNothing) {
    const auto pcm = Bytes(MakePcmFormat(1, 8000, 16));
    auto s = OpenOrNothing(pcm, Bytes(MakePcmFormat(1, 8000, 8)));
    ASSERT_TRUE(s);
    uint8_t src[100] = {}, dst[100] = {};
    const auto used = s.Convert(src, dst);
    EXPECT_EQ(used.source, 100u);
    EXPECT_EQ(used.destination, 50u);
    EXPECT_EQ(s.DestinationBytesFor(1000).value_or(0), 500u);
    EXPECT_EQ(s.SourceBytesFor(500).value_or(0), 1000u);
    // What a conversion was moved out of is closed: it sizes and converts nothing.
    const WaveFormatConversion moved = std::move(s);
    EXPECT_TRUE(moved);
    EXPECT_FALSE(s);
    EXPECT_FALSE(s.DestinationBytesFor(1000).has_value());
    EXPECT_FALSE(s.SourceBytesFor(500).has_value());
    const auto none = s.Convert(src, dst, {.start = true, .end = true});
    EXPECT_EQ(none.source, 0u);
    EXPECT_EQ(none.destination, 0u);
}

TEST(WaveFormatConversion, BlockAlignedEncodingReportsWhatItUsed) {
    const auto pcm = Bytes(MakePcmFormat(1, 22050, 16));
    const auto ima = WaveFormatCatalog::MakeRecord(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 4);
    auto s = OpenOrNothing(pcm, ima);
    ASSERT_TRUE(s);
    const auto input = Sine16(22050, 1, 3000);
    std::vector<uint8_t> out(4096);
    const auto first = s.Convert(input, out, {.start = true});
    EXPECT_EQ(first.source, 2u * 2 * 1017); // two whole blocks of 1017 samples
    EXPECT_EQ(first.destination, 2u * 512);
    // The end pads the short last block.
    const auto last = s.Convert(std::span(input).subspan(first.source), out, {.end = true});
    EXPECT_EQ(last.source, 2u * (3000 - 2034));
    EXPECT_EQ(last.destination, 512u);
}

TEST(WaveFormatConversion, ResamplesASineCleanly) {
    const auto input = Sine16(44100, 1, 44100 * 2, 1000.0, 0.9);
    const auto from = Bytes(MakePcmFormat(1, 44100, 16));
    for (uint32_t rate : {48000u, 22050u}) {
        const auto out =
            Samples16(ConvertStream(from, Bytes(MakePcmFormat(1, rate, 16)), input, {16384}));
        const double expected = 2.0 * rate;
        EXPECT_NEAR(static_cast<double>(out.size()), expected, 2) << rate;
        const double snr = SineSnr(out, rate);
        EXPECT_GE(snr, 88.0) << rate;
        RecordProperty("snr_" + std::to_string(rate), std::to_string(snr));
        std::printf("SNR at %u Hz: %.1f dB\n", rate, snr);
    }
}

TEST(WaveFormatConversion, MonoToStereoKeepsTheLevel) {
    const auto input = Sine16(8000, 1, 800);
    const auto out = Samples16(
        ConvertStream(Bytes(MakePcmFormat(1, 8000, 16)), Bytes(MakePcmFormat(2, 8000, 16)), input));
    const auto in = Samples16(input);
    ASSERT_EQ(out.size(), in.size() * 2);
    for (size_t i = 0; i < in.size(); ++i) {
        EXPECT_EQ(out[2 * i], in[i]);
        EXPECT_EQ(out[2 * i + 1], in[i]);
    }
}

TEST(WaveFormatConversion, InputAfterTheEndStartsANewStream) {
    // Found by fuzzing: feeding the resampler after its drain crashed inside it.
    auto s = OpenOrNothing(Bytes(MakePcmFormat(1, 8000, 24)), Bytes(MakePcmFormat(1, 44100, 32)));
    ASSERT_TRUE(s);
    std::vector<uint8_t> in(300, 7), out(4000);
    for (auto [bytes, end] : {std::pair{9u, false}, {3u, true}, {15u, false}, {15u, true}}) {
        const auto used = s.Convert(std::span(in).first(bytes), out, {.end = end});
        EXPECT_EQ(used.source, bytes);
        if (end) {
            EXPECT_GT(used.destination, 0u); // the stream so far, drained
        }
    }
}
