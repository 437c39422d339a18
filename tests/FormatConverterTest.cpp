// The format converter: its three configurations, held-back input and the end of the stream.
#include <gtest/gtest.h>

#include "acm/WaveFormatCatalog.h"
#include "acm/WaveFormatConversion.h"
#include "tests/FormatConversionTestSupport.h"

using namespace conversiontest;

TEST(FormatConverter, AlikeFormatsPassThrough) {
    WAVEFORMATEX a = MakePcmFormat(2, 44100, 16);
    WAVEFORMATEX b = a;
    b.nBlockAlign = 8; // block alignment and rate fields are not compared
    b.nAvgBytesPerSec = 1;
    bool failed = true;
    PcmFormatConverter c(&a, &b, failed);
    EXPECT_FALSE(failed);
    uint8_t data[64] = {};
    uint32_t out = 0;
    EXPECT_EQ(c.Convert(data, sizeof data, out), nullptr);
    EXPECT_EQ(out, sizeof data);
    EXPECT_EQ(c.Flush(out), nullptr);
    EXPECT_EQ(out, 0u);
}

TEST(FormatConverter, UnreachableFormatFails) {
    const auto from = Bytes(MakePcmFormat(2, 44100, 16));
    WAVEFORMATEX mp3{WAVE_FORMAT_MPEGLAYER3, 2, 44100, 16000, 1, 0, 0};
    bool failed = false;
    PcmFormatConverter c(Record(from), &mp3, failed);
    EXPECT_TRUE(failed);
    WAVEFORMATEX zero{};
    PcmFormatConverter d(Record(from), &zero, failed);
    EXPECT_TRUE(failed);
}

TEST(FormatConverter, TwoStagesReachACompressedFormatOfAnotherShape) {
    const auto from = Bytes(MakePcmFormat(2, 44100, 16));
    const auto ima = WaveFormatCatalog::MakeRecord(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 4);
    auto direct = WaveConversionResult::Opened;
    WaveFormatConversion::Open(from, ima, &direct);
    EXPECT_EQ(direct, WaveConversionResult::NotPossible);
    // The intermediate format is 16-bit mono PCM at 22050 Hz; the main stage takes it.
    const auto middle = Bytes(MakePcmFormat(1, 22050, 16));
    EXPECT_EQ(Record(middle)->nBlockAlign, 2);
    EXPECT_EQ(Record(middle)->nAvgBytesPerSec, 44100u);
    EXPECT_TRUE(WaveFormatConversion::Open(middle, ima));

    const auto input = Sine16(44100, 2, 44100);
    const auto out = ConvertStream(from, ima, input, {3000, 20000});
    // One second at 22050 Hz in blocks of 1017 samples: 22 blocks, the last one padded.
    EXPECT_EQ(out.size(), 22u * 512);
    // Decoding it back gives a second of the sine.
    const auto back =
        Samples16(ConvertStream(ima, Bytes(MakePcmFormat(1, 22050, 16)), out, {512 * 3}));
    EXPECT_EQ(back.size(), 22u * 1017);
    int16_t peak = 0;
    for (size_t i = 0; i < 22050; ++i)
        peak = std::max<int16_t>(peak, back[i]);
    EXPECT_NEAR(peak, 16384, 600);
}

TEST(FormatConverter, PieceSizesDoNotChangeTheOutput) {
    // A start flag on any but the first block would restart the resampler and change the
    // result; so would a lost or repeated held-back byte.
    const auto from = Bytes(MakePcmFormat(2, 44100, 16));
    const auto input = Sine16(44100, 2, 30000);
    for (const auto& to : {Bytes(MakePcmFormat(2, 48000, 16)), Bytes(MakePcmFormat(1, 8000, 8)),
                           WaveFormatCatalog::MakeRecord(WAVE_FORMAT_ADPCM, 2, 44100, 4)}) {
        const auto whole = ConvertStream(from, to, input, {static_cast<uint32_t>(input.size())});
        const auto pieces = ConvertStream(from, to, input, {4, 1000, 16384, 17, 40000});
        ASSERT_EQ(pieces.size(), whole.size());
        // The resampler's floating-point work rounds differently with its chunking (±2 LSB).
        int worst = 0;
        if (Record(to)->wBitsPerSample == 16) {
            const auto a = Samples16(pieces), b = Samples16(whole);
            for (size_t i = 0; i < a.size(); ++i)
                worst = std::max(worst, std::abs(a[i] - b[i]));
        } else {
            for (size_t i = 0; i < whole.size(); ++i)
                worst = std::max(worst, std::abs(int(pieces[i]) - int(whole[i])));
        }
        EXPECT_LE(worst, Record(to)->wFormatTag == WAVE_FORMAT_PCM ? 2 : 0)
            << Record(to)->nSamplesPerSec;
    }
}

TEST(FormatConverter, ShortInputIsHeldBackThenComesFirst) {
    const auto from = Bytes(MakePcmFormat(2, 44100, 16));
    const auto to = Bytes(MakePcmFormat(2, 44100, 8));
    const auto input = Sine16(44100, 2, 6000);
    bool failed = true;
    PcmFormatConverter c(Record(from), Record(to), failed);
    ASSERT_FALSE(failed);
    uint32_t out = 99;
    auto first = c.Convert(input.data(), 1000, out);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(out, 0u);
    auto second = c.Convert(input.data() + 1000, static_cast<uint32_t>(input.size() - 1000), out);
    ASSERT_NE(second, nullptr);
    // Whole transfer blocks (16384 source bytes) come out; the rest waits for the flush.
    EXPECT_EQ(out, 16384u / 2);
    const auto in = Samples16(input);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(second[i], static_cast<uint8_t>((in[i] >> 8) + 128));
    uint32_t tail = 0;
    ASSERT_NE(c.Flush(tail), nullptr);
    EXPECT_EQ(out + tail, input.size() / 2);
}

TEST(FormatConverter, FlushKeepsTheLength) {
    const auto from = Bytes(MakePcmFormat(2, 44100, 16));
    const auto input = Sine16(44100, 2, 44100 + 123);
    // Resampled: as long as the input, to the sample.
    const auto resampled = ConvertStream(from, Bytes(MakePcmFormat(2, 48000, 16)), input);
    EXPECT_NEAR(resampled.size() / 4.0, (44100 + 123) * 48000.0 / 44100, 1.0);
    // Without the flush the tail is missing.
    const auto cut =
        ConvertStream(from, Bytes(MakePcmFormat(2, 48000, 16)), input, {4410 * 4}, false);
    EXPECT_LT(cut.size(), resampled.size());
    // Compressed: the last block is padded, so the length is kept within one block.
    const auto gsm = WaveFormatCatalog::MakeRecord(WAVE_FORMAT_GSM610, 1, 8000, 0);
    const auto coded = ConvertStream(from, gsm, input);
    const double frames = (44100 + 123) * 8000.0 / 44100;
    EXPECT_GE(coded.size() / 65 * 320, frames);
    EXPECT_LT(coded.size() / 65 * 320, frames + 320);
}

// A block whose converted size cannot even be worked out is not silently dropped: the converter
// fails, so that its sink raises the write error. (The bytes are never read: sizing comes first.)
// A compressed destination counts the frames it encoded, for the WAVE sink's fact chunk.
TEST(FormatConverter, FailuresAreReportedAndFramesCounted) {
    const auto mono8 = Bytes(MakePcmFormat(1, 8000, 8));
    const auto stereo32 = Bytes(MakePcmFormat(2, 8000, 32));
    bool failed = true;
    PcmFormatConverter widening(Record(mono8), Record(stereo32), failed);
    ASSERT_FALSE(failed);
    uint8_t byte = 0;
    uint32_t out = 0;
    EXPECT_FALSE(widening.Failed());
    widening.Convert(&byte, 0x40000000, out);
    EXPECT_EQ(out, 0u);
    EXPECT_TRUE(widening.Failed());

    const auto from = Bytes(MakePcmFormat(2, 44100, 16));
    const auto ima = WaveFormatCatalog::MakeRecord(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 4);
    PcmFormatConverter encoding(Record(from), Record(ima), failed);
    ASSERT_FALSE(failed);
    const auto input = Sine16(44100, 2, 44100);
    encoding.Convert(input.data(), static_cast<uint32_t>(input.size()), out);
    encoding.Flush(out);
    EXPECT_FALSE(encoding.Failed());
    EXPECT_EQ(encoding.FramesConverted(), 22050u); // not the 22 * 1017 of its padded blocks
}
