// The choices a user made with an earlier version, as that version stored them, come back as the
// same settings: the value names and their encodings are the store's, not the code's.
#include <gtest/gtest.h>

#include "TestFolder.h"
#include "engine/ConverterChoices.h"
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
    EXPECT_EQ(settings.Mp3SampleRate, 32000);
    EXPECT_EQ(settings.Mp3BitRate, 160);
    EXPECT_FALSE(settings.Mp3Stereo);
    EXPECT_EQ(settings.WmaSampleRate, 44100);
    EXPECT_EQ(settings.WmaBitRate, 64);
    EXPECT_EQ(settings.FlacCompressionLevel, 8);
    EXPECT_EQ(settings.OpusBitRate, 96);
    EXPECT_EQ(settings.VorbisQuality, -1);
    EXPECT_EQ(settings.AacBitRate, 256);
    EXPECT_EQ(settings.OutputChannels, 1);
    EXPECT_EQ(settings.OutputSampleRate, 22050);

    // Saved again, every value reads as it was stored.
    choices.Save();
    for (const StoredNumber& stored : Earlier) {
        EXPECT_EQ(StoreReadNumber(StoreRoot::User, SettingsKey, stored.name), stored.value)
            << stored.name;
    }
}
