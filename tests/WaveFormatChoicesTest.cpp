// What the "Wave Output Format" chooser offers, and where it opens for the current format.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "acm/WaveFormatCatalog.h"
#include "choices/WaveFormatChoices.h"
#include "catalog/ConversionSettings.h"
#include "engine/WaveFormat.h"

namespace {
using Buffer = std::array<uint8_t, WaveOutputFormatSize>;

Buffer BufferWith(const std::vector<uint8_t>& record) {
    Buffer buffer{};
    std::copy(record.begin(), record.end(), buffer.begin());
    return buffer;
}
} // namespace

TEST(WaveFormatChoices, OpensOnAStandardFormatInItsTagsList) {
    const std::vector<uint8_t> alaw = WaveFormatCatalog::MakeRecord(WAVE_FORMAT_ALAW, 2, 8000, 8);
    const Buffer buffer = BufferWith(alaw);
    const WaveFormatChoices choices(buffer.data(), buffer.size());
    ASSERT_LT(choices.CurrentTagItem(), choices.Tags().size());
    EXPECT_EQ(choices.Tags()[choices.CurrentTagItem()].Name, "CCITT A-Law");
    const auto formats = choices.FormatsOf(choices.CurrentTagItem());
    ASSERT_LT(choices.CurrentFormatItem(), formats.size());
    EXPECT_EQ(formats[choices.CurrentFormatItem()].Record, alaw);
    EXPECT_EQ(formats[choices.CurrentFormatItem()].Description, "8,000 Hz, 8 Bit, Stereo");
    // PCM leads the tags; a tag item out of range has no formats.
    EXPECT_EQ(choices.Tags().front().Name, "PCM");
    EXPECT_TRUE(choices.FormatsOf(choices.Tags().size()).empty());
}

TEST(WaveFormatChoices, OffersAWritableFormatThatIsNotAStandardOneFirst) {
    const std::vector<uint8_t> odd = WaveFormatCatalog::MakeRecord(WAVE_FORMAT_PCM, 1, 12345, 16);
    const Buffer buffer = BufferWith(odd);
    const WaveFormatChoices choices(buffer.data(), buffer.size());
    const auto pcm = choices.FormatsOf(choices.CurrentTagItem());
    EXPECT_EQ(choices.CurrentFormatItem(), 0u);
    ASSERT_FALSE(pcm.empty());
    EXPECT_EQ(pcm[0].Record, odd);
    EXPECT_EQ(pcm[0].Description, "12,345 Hz, 16 Bit, Mono");
    // Only in its own tag's list.
    const WaveFormatChoices plain(nullptr, 0);
    EXPECT_EQ(plain.FormatsOf(0).size() + 1, pcm.size());
}

TEST(WaveFormatChoices, ARecordRunningPastItsBufferIsNotRead) {
    WAVEFORMATEX broken = MakePcmFormat(2, 44100, 16);
    broken.cbSize = 0xFFFF;
    Buffer buffer{};
    std::memcpy(buffer.data(), &broken, sizeof broken);
    const WaveFormatChoices fallback(buffer.data(), buffer.size());
    EXPECT_EQ(fallback.CurrentTagItem(), 0u);
    EXPECT_EQ(fallback.CurrentFormatItem(), 0u);
}
