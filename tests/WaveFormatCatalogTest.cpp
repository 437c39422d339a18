// The wave format catalog: the formats it offers for writing with their extra bytes, and the
// names and descriptions the chooser and the labels show.
#include <gtest/gtest.h>

#include <algorithm>

#include "acm/WaveFormatCatalog.h"
#include "acm/WaveFormatConversion.h"
#include "tests/FormatConversionTestSupport.h"

using namespace conversiontest;

TEST(WaveFormatCatalog, OffersWritableFormatsWithTheirExtraBytes) {
    // Offered: among the records the chooser lists.
    const auto offered = [](uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
        const auto record = WaveFormatCatalog::MakeRecord(tag, channels, rate, bits);
        const auto records = WaveFormatCatalog::OfferedRecords(tag);
        return !record.empty() &&
               std::find(records.begin(), records.end(), record) != records.end();
    };
    EXPECT_TRUE(offered(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 4));
    EXPECT_TRUE(offered(WAVE_FORMAT_PCM, 2, 44100, 24));
    EXPECT_FALSE(offered(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 16));
    EXPECT_FALSE(offered(WAVE_FORMAT_MPEGLAYER3, 2, 44100, 0));
    EXPECT_FALSE(offered(WAVE_FORMAT_GSM610, 1, 22050, 0));
    ASSERT_TRUE(WaveFormatCatalog::OfferedFor(WAVE_FORMAT_GSM610));
    EXPECT_EQ(WaveFormatCatalog::OfferedFor(WAVE_FORMAT_GSM610)->rates,
              std::vector<uint32_t>{8000});

    const auto ima = WaveFormatCatalog::MakeRecord(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 4);
    ASSERT_EQ(ima.size(), 20u);
    EXPECT_EQ(Record(ima)->nBlockAlign, 512);
    EXPECT_EQ(Record(ima)->nAvgBytesPerSec, 11100u);
    EXPECT_EQ(ima[18] | ima[19] << 8, 1017);
    const auto ms = WaveFormatCatalog::MakeRecord(WAVE_FORMAT_ADPCM, 2, 44100, 4);
    ASSERT_EQ(ms.size(), 18u + 32);
    EXPECT_EQ(Record(ms)->nBlockAlign, 2048);
    EXPECT_EQ(ms[18] | ms[19] << 8, 2036); // samples per block
    EXPECT_EQ(ms[20], 7);                  // seven coefficient pairs
    EXPECT_EQ(ms[22] | ms[23] << 8, 256);  // the first pair is (256, 0)
    const auto gsm = WaveFormatCatalog::MakeRecord(WAVE_FORMAT_GSM610, 1, 8000, 0);
    ASSERT_EQ(gsm.size(), 20u);
    EXPECT_EQ(Record(gsm)->nBlockAlign, 65);
    EXPECT_EQ(Record(gsm)->nAvgBytesPerSec, 1625u);
    EXPECT_EQ(gsm[18] | gsm[19] << 8, 320);
    EXPECT_TRUE(WaveFormatCatalog::MakeRecord(WAVE_FORMAT_GSM610, 2, 8000, 0).empty());
    EXPECT_TRUE(WaveFormatCatalog::MakeRecord(WAVE_FORMAT_PCM, 0, 8000, 16).empty());

    // Every offered record opens from 16-bit PCM of its own shape.
    for (uint16_t tag : WaveFormatCatalog::WritableTags())
        for (const auto& record : WaveFormatCatalog::OfferedRecords(tag)) {
            const auto* f = Record(record);
            auto result = WaveConversionResult::NotPossible;
            WaveFormatConversion::Open(Bytes(MakePcmFormat(f->nChannels, f->nSamplesPerSec, 16)),
                                       record, &result);
            EXPECT_EQ(result, WaveConversionResult::Opened)
                << tag << " " << f->nChannels << " " << f->nSamplesPerSec;
        }
}

TEST(WaveFormatCatalog, NamesAndDescribesFormats) {
    EXPECT_EQ(WaveFormatCatalog::TagName(WAVE_FORMAT_IMA_ADPCM), "IMA ADPCM");
    EXPECT_EQ(WaveFormatCatalog::OfferedRecords(WAVE_FORMAT_IMA_ADPCM).size(), 8u);
    EXPECT_EQ(WaveFormatCatalog::TagName(0x7777), "");
    ASSERT_FALSE(WaveFormatCatalog::WritableTags().empty());
    EXPECT_EQ(WaveFormatCatalog::WritableTags().front(), WAVE_FORMAT_PCM);
    EXPECT_EQ(WaveFormatCatalog::TagName(WAVE_FORMAT_PCM), "PCM");
    EXPECT_FALSE(WaveFormatCatalog::TagName(0x20).empty()); // readable through FFmpeg's tag table

    // The caller may pass the 18-byte head alone, even of a format with extra bytes.
    const auto ima = WaveFormatCatalog::MakeRecord(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 4);
    EXPECT_EQ(WaveFormatCatalog::Describe(std::span(ima).first(18)), "22,050 Hz, 4 Bit, Mono");
    EXPECT_EQ(WaveFormatCatalog::Describe(Bytes(MakePcmFormat(2, 44100, 16))),
              "44,100 Hz, 16 Bit, Stereo");
    const auto gsm = WaveFormatCatalog::OfferedRecords(WAVE_FORMAT_GSM610);
    ASSERT_FALSE(gsm.empty());
    EXPECT_EQ(WaveFormatCatalog::Describe(gsm.front()), "8,000 Hz, Mono");
    EXPECT_EQ(Record(gsm.front())->cbSize, 2);
}
