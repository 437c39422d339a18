#include <gtest/gtest.h>

#include "WaveTestSupport.h"
#include "formats/wave/WaveHeader.h"

using namespace wavetest;

namespace {

std::optional<WaveHeader> Scan(const std::string& bytes) {
    return ScanWaveHeader(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

const WAVEFORMATEX Stereo16 = MakePcmFormat(2, 44100, 16);

} // namespace

TEST(WaveHeader, NeedsBothAFormatAndADataChunk) {
    EXPECT_FALSE(Scan(Riff(Chunk("fmt ", FmtPayload(Stereo16)))));
    EXPECT_FALSE(Scan(Riff(Chunk("data", "abcd"))));
    // A format chunk shorter than 14 bytes is passed over.
    EXPECT_FALSE(Scan(Riff(Chunk("fmt ", FmtPayload(Stereo16).substr(0, 12)) + Chunk("data", ""))));
    // Chunks beyond the RIFF size are not part of the file.
    std::string cut = Riff(Chunk("fmt ", FmtPayload(Stereo16))) + Chunk("data", "abcd");
    EXPECT_FALSE(Scan(cut));
}

TEST(WaveHeader, FindsChunksInAnyOrderBehindOddSizedOnes) {
    const auto header =
        Scan(Riff(Chunk("LIST", "odd") + Chunk("data", "abcdef") +
                  Chunk("junk", std::string(7, 'x')) + Chunk("fmt ", FmtPayload(Stereo16))));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->dataOffset, 12u + 12u + 8u);
    EXPECT_EQ(header->dataSize, 6u);
    EXPECT_EQ(header->basicFormat.nSamplesPerSec, 44100u);
    EXPECT_EQ(header->basicFormat.nBlockAlign, 4u);
    EXPECT_EQ(header->Format()->cbSize, 0u);
}

TEST(WaveHeader, AFourteenByteFormatHasNoSampleSize) {
    const auto header =
        Scan(Riff(Chunk("fmt ", FmtPayload(Stereo16).substr(0, 14)) + Chunk("data", "")));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->basicFormat.wBitsPerSample, 0u);
    EXPECT_EQ(header->basicFormat.nBlockAlign, 4u);
    EXPECT_EQ(header->format.size(), sizeof(WAVEFORMATEX));
}

TEST(WaveHeader, ExtraFormatBytesNeverReachBeyondTheChunk) {
    WAVEFORMATEX ima{WAVE_FORMAT_IMA_ADPCM, 1, 8000, 4055, 256, 4, 2};
    const std::string extra = U16(505);
    auto header = Scan(Riff(Chunk("fmt ", FmtPayload(ima, extra)) + Chunk("data", "")));
    ASSERT_TRUE(header);
    ASSERT_EQ(header->format.size(), 20u);
    EXPECT_EQ(header->Format()->cbSize, 2u);
    EXPECT_EQ(header->format[18], 505 & 0xFF);

    ima.cbSize = 3000; // claims far more than the chunk holds
    header = Scan(Riff(Chunk("fmt ", FmtPayload(ima, extra)) + Chunk("data", "")));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->Format()->cbSize, 2u);
    EXPECT_EQ(header->format.size(), 20u);
    EXPECT_EQ(header->basicFormat.cbSize, 0u);
}

TEST(WaveHeader, SurvivesSizesThatPointPastTheEnd) {
    // A format chunk cut off by the end of the scanned bytes, and sizes near 4 GiB.
    const std::string fmt = Chunk("fmt ", FmtPayload(Stereo16));
    std::string truncated = Riff(Chunk("data", "") + fmt).substr(0, 12 + 8 + 8 + 10);
    EXPECT_FALSE(Scan(truncated));
    std::string huge = Riff(Chunk("data", "") + fmt);
    huge.replace(4, 4, U32(0xFFFFFFFF));
    huge.replace(16, 4, U32(0xFFFFFFFF));
    EXPECT_FALSE(Scan(huge));
    std::string hugeData = Riff(fmt + Chunk("data", ""));
    hugeData.replace(hugeData.size() - 4, 4, U32(0xFFFFFFFF));
    // A data size of all ones was left open by its writer: the audio runs to the end.
    const auto header = Scan(hugeData + "abcd");
    ASSERT_TRUE(header);
    EXPECT_TRUE(header->dataToEnd);
    EXPECT_EQ(header->dataSize, 4u);
}
