#include <gtest/gtest.h>

#include "TestFolder.h"
#include "selector/ShownTypes.h"
#include "system/SettingsStore.h"

TEST(ShownFileTypes, ShowsTheThreeTypesWhileTheirFlagsAreSet) {
    ShownTypes types;
    for (const char* ext : {".wav", ".WAV", ".Mp3", ".wma"}) {
        EXPECT_TRUE(types.Shows(ext)) << ext;
        EXPECT_TRUE(IsAudioFileType(ext)) << ext;
    }
    for (const char* ext : {".wax", ".wav ", ".wa", "", ".", "wav", ".aiff"}) {
        EXPECT_FALSE(types.Shows(ext)) << ext;
        EXPECT_FALSE(IsAudioFileType(ext)) << ext;
    }
    EXPECT_FALSE(types.Shows(std::string(".wav\0x", 6)));
    EXPECT_EQ(AudioFileTypeOf(".Mp3"), sftMp3);

    types.Set(sftWave, false);
    EXPECT_FALSE(types.Shows(".wav"));
    EXPECT_FALSE(types.Get(sftWave));
    EXPECT_TRUE(types.Shows(".mp3"));
    EXPECT_TRUE(IsAudioFileType(".wav")); // the program still converts it
    // A value of its own: another selector's flags are not these.
    EXPECT_TRUE(ShownTypes().Shows(".wav"));
    types.Set(sftWave, true);
    EXPECT_TRUE(types.Shows(".wav"));
    types.Set(static_cast<ShownFileType>(7), false); // out of range: ignored
    EXPECT_TRUE(types.Shows(".wma"));
}

TEST(FileTypeDescription, IsMadeUpWithoutAStoreEntry) {
    ConfigHome home;
    std::string text = "stale";
    EXPECT_FALSE(GetFileTypeDescription(".xyz", text));
    EXPECT_EQ(text, "XYZ File");
    EXPECT_FALSE(GetFileTypeDescription(".Mp3", text));
    EXPECT_EQ(text, "MP3 File");
    EXPECT_FALSE(GetFileTypeDescription(".", text));
    EXPECT_EQ(text, "File");
    EXPECT_FALSE(GetFileTypeDescription("", text));
    EXPECT_EQ(text, "File");
}

TEST(FileTypeDescription, ComesFromTheClassNamedByTheExtension) {
    ConfigHome home;
    StoreWriteText("mp3file", StoreRoot::FileTypes, ".mp3", "");
    StoreWriteText("MPEG Layer 3 Audio", StoreRoot::FileTypes, "mp3file", "");
    std::string text;
    EXPECT_TRUE(GetFileTypeDescription(".MP3", text));
    EXPECT_EQ(text, "MPEG Layer 3 Audio");

    // A class without a description of its own: made up again.
    StoreWriteText("wavfile", StoreRoot::FileTypes, ".wav", "");
    EXPECT_FALSE(GetFileTypeDescription(".wav", text));
    EXPECT_EQ(text, "WAV File");
    // Other values of the class key are not its description.
    StoreWriteText("not the default", StoreRoot::FileTypes, "wavfile", "FriendlyTypeName");
    EXPECT_FALSE(GetFileTypeDescription(".wav", text));
    // The same names below the current user do not count.
    StoreWriteText("userfile", StoreRoot::User, ".wma", "");
    StoreWriteText("User WMA", StoreRoot::User, "userfile", "");
    EXPECT_FALSE(GetFileTypeDescription(".wma", text));
    EXPECT_EQ(text, "WMA File");
}
