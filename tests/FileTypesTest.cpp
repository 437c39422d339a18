#include <gtest/gtest.h>

#include "TestFolder.h"
#include "selector/ShownTypes.h"
#include "system/Registry.h"

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
    RegWriteString("mp3file", HKEY_CLASSES_ROOT, ".mp3", "");
    RegWriteString("MPEG Layer 3 Audio", HKEY_CLASSES_ROOT, "mp3file", "");
    std::string text;
    EXPECT_TRUE(GetFileTypeDescription(".MP3", text));
    EXPECT_EQ(text, "MPEG Layer 3 Audio");

    // A class without a description of its own: made up again.
    RegWriteString("wavfile", HKEY_CLASSES_ROOT, ".wav", "");
    EXPECT_FALSE(GetFileTypeDescription(".wav", text));
    EXPECT_EQ(text, "WAV File");
    // Other values of the class key are not its description.
    RegWriteString("not the default", HKEY_CLASSES_ROOT, "wavfile", "FriendlyTypeName");
    EXPECT_FALSE(GetFileTypeDescription(".wav", text));
    // The same names below the current user do not count.
    RegWriteString("userfile", HKEY_CURRENT_USER, ".wma", "");
    RegWriteString("User WMA", HKEY_CURRENT_USER, "userfile", "");
    EXPECT_FALSE(GetFileTypeDescription(".wma", text));
    EXPECT_EQ(text, "WMA File");
}
