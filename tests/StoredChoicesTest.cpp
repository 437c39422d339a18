// The choices a user made with an earlier version, as that version stored them, come back as the
// same settings: the value names and their encodings are the store's, not the code's.
#include <gtest/gtest.h>

#include "TargetNumbers.h"
#include "TestFolder.h"
#include "engine/ConverterChoices.h"
#include "formats/wma/WmaOptions.h"
#include "system/SettingsStore.h"

namespace {
struct StoredNumber {
    const char* name;
    uint32_t value;
};

// Opus at 96 kbit/s in mono into a folder of its own, the tree kept, two at a time; MP3 at
// "32Khz" (item 3, stored as 3), "160 Kbps" (item 4, stored as 4), mono; WMA's fourth quality;
// FLAC level 8, Vorbis quality -1 (the bits of a signed number), AAC 256 kbit/s, 22050 Hz.
constexpr StoredNumber Earlier[] = {
    {"BrConvTo", 4},
    {"BrConvToLocOpt", 1},
    {"BrConvKeepTree", 1},
    {"BrConvJobs", 2},
    {"BrConvMP3Freq", 3},
    {"BrConvMP3Bit", 4},
    {"BrConvMono", 1},
    {"BrConvWMAQual", 3},
    {"BrConvFlacLevel", 8},
    {"BrConvOpusKbps", 96},
    {"BrConvVorbisQuality", 0xffffffff},
    {"BrConvAacKbps", 256},
    {"BrConvOutChannels", 1},
    {"BrConvOutRate", 22050},
};
} // namespace

TEST(StoredChoices, AnEarlierVersionsValuesLoadAsTheSameSettings) {
    ConfigHome home;
    for (const StoredNumber& stored : Earlier) {
        StoreWriteNumber(stored.value, StoreRoot::User, SettingsKey, stored.name);
    }
    StoreWriteText("/home/ann/Phone", StoreRoot::User, SettingsKey, "BrConvToFolder");

    const ConverterChoices choices = ConverterChoices::Load();
    EXPECT_TRUE(choices.ToThisFolder);
    EXPECT_TRUE(choices.KeepTree);
    EXPECT_EQ(choices.Jobs, 2u);
    EXPECT_EQ(choices.Folder, "/home/ann/Phone");
    ConversionSettings settings;
    choices.ApplyTo(settings);
    EXPECT_EQ(settings.TargetFormat, 4);
    const auto value = [&](uint8_t target, std::string_view flag) {
        return settings.Options.Of(OptionOf(target, flag));
    };
    EXPECT_EQ(value(tfMp3, "--rate"), 32000);
    EXPECT_EQ(value(tfMp3, "--bitrate"), 160);
    EXPECT_EQ(value(tfMp3, "--mono"), 1);
    EXPECT_EQ(WmaQualities.at(static_cast<std::size_t>(value(tfWMA, "--wma-quality"))).Kbps, 64);
    EXPECT_EQ(value(tfFlac, "--compression-level"), 8);
    EXPECT_EQ(value(tfOpus, "--bitrate"), 96);
    EXPECT_EQ(value(tfVorbis, "--quality"), -1);
    EXPECT_EQ(value(tfAac, "--bitrate"), 256);
    EXPECT_EQ(value(tfFlac, "--channels"), 1);
    EXPECT_EQ(value(tfFlac, "--rate"), 22050);

    // Saved again, every value reads as it was stored.
    choices.Save();
    for (const StoredNumber& stored : Earlier) {
        EXPECT_EQ(StoreReadNumber(StoreRoot::User, SettingsKey, stored.name), stored.value)
            << stored.name;
    }
}

// Nothing stored gives a new user's first choices; a list item that no longer exists leaves its
// list without a selection, which the encoder meets with its default and the store keeps as such.
TEST(StoredChoices, MissingAndUnknownItemsKeepTheirMeaning) {
    ConfigHome home;
    ConversionSettings fresh;
    ConverterChoices::Load().ApplyTo(fresh);
    EXPECT_EQ(fresh.Options.Of(OptionOf(tfMp3, "--bitrate")), 192);
    EXPECT_EQ(fresh.Options.Of(OptionOf(tfMp3, "--rate")), 44100);
    EXPECT_EQ(fresh.Options.Of(OptionOf(tfWMA, "--wma-quality")), 0);

    StoreWriteNumber(99, StoreRoot::User, SettingsKey, "BrConvMP3Bit");
    StoreWriteNumber(8, StoreRoot::User, SettingsKey, "BrConvWMAQual");
    const ConverterChoices choices = ConverterChoices::Load();
    EXPECT_FALSE(choices.Options.Chosen(OptionOf(tfMp3, "--bitrate")));
    EXPECT_FALSE(choices.Options.Chosen(OptionOf(tfWMA, "--wma-quality")));
    ConversionSettings settings;
    choices.ApplyTo(settings);
    EXPECT_EQ(settings.Options.Of(OptionOf(tfMp3, "--bitrate")), 128);
    choices.Save();
    EXPECT_EQ(StoreReadNumber(StoreRoot::User, SettingsKey, "BrConvMP3Bit"), 0u);
    EXPECT_EQ(StoreReadNumber(StoreRoot::User, SettingsKey, "BrConvWMAQual"), 0xffffffffu);
}
