#include <gtest/gtest.h>

#include <filesystem>

#include "TestFolder.h"
#include "system/AppPaths.h"
#include "system/SettingsStore.h"

namespace fs = std::filesystem;

TEST(Registry, ReadingCreatesTheKeyAndExistsCreatesNothing) {
    ConfigHome home;
    const std::string key = "SOFTWARE\\Orvantis\\Brindlex 3";
    EXPECT_FALSE(StoreValueExists(StoreRoot::User, key, "BrConvTo"));
    EXPECT_FALSE(StoreKeyExists(StoreRoot::User, key));

    EXPECT_EQ(StoreReadNumber(StoreRoot::User, key, "BrConvTo"), 0U);
    EXPECT_TRUE(StoreKeyExists(StoreRoot::User, key));
    EXPECT_TRUE(StoreKeyExists(StoreRoot::User, "SOFTWARE\\Orvantis")); // and the keys above
    EXPECT_FALSE(StoreValueExists(StoreRoot::User, key, "BrConvTo"));
    EXPECT_FALSE(StoreKeyExists(StoreRoot::FileTypes, key));

    EXPECT_EQ(StoreReadText(StoreRoot::FileTypes, ".new", ""), "");
    EXPECT_TRUE(StoreKeyExists(StoreRoot::FileTypes, ".new"));
    EXPECT_TRUE(StoreKeyExists(StoreRoot::FileTypes, ""));
}

TEST(Registry, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    ConfigHome home;
    StoreWriteNumber(2, StoreRoot::User, SettingsKey, "BrConvTo");
    EXPECT_EQ(StoreReadNumber(StoreRoot::User, "software\\ORVANTIS\\brindlex 3", "brconvto"), 2U);
    // Stray separators name the same key.
    EXPECT_EQ(StoreReadNumber(StoreRoot::User, "\\SOFTWARE\\\\Orvantis\\Brindlex 3\\", "BRCONVTO"),
              2U);
    StoreWriteNumber(0, StoreRoot::User, "Software\\Orvantis\\Brindlex 3", "BRCONVTO");
    EXPECT_EQ(StoreReadNumber(StoreRoot::User, SettingsKey, "BrConvTo"), 0U);
    EXPECT_TRUE(StoreValueExists(StoreRoot::User, SettingsKey, "brCONVto"));
    // The two roots are separate trees.
    StoreWriteNumber(9, StoreRoot::FileTypes, SettingsKey, "BrConvTo");
    EXPECT_EQ(StoreReadNumber(StoreRoot::User, SettingsKey, "BrConvTo"), 0U);
    EXPECT_EQ(StoreReadNumber(StoreRoot::FileTypes, SettingsKey, "BrConvTo"), 9U);
}

TEST(Registry, TheEmptyNameIsTheKeysDefaultValue) {
    ConfigHome home;
    StoreWriteText("mp3file", StoreRoot::FileTypes, ".mp3", "");
    StoreWriteText("other", StoreRoot::FileTypes, ".mp3", "Content Type");
    EXPECT_EQ(StoreReadText(StoreRoot::FileTypes, ".mp3", ""), "mp3file");
    EXPECT_EQ(StoreReadText(StoreRoot::FileTypes, ".MP3", "content type"), "other");
    EXPECT_TRUE(StoreValueExists(StoreRoot::FileTypes, ".mp3", ""));
    EXPECT_FALSE(StoreValueExists(StoreRoot::FileTypes, ".wav", ""));
}

TEST(Registry, KeepsFullDwordsAndStrings) {
    ConfigHome home;
    StoreWriteNumber(0xFFFFFFFFU, StoreRoot::User, SettingsKey, "Max");
    EXPECT_EQ(StoreReadNumber(StoreRoot::User, SettingsKey, "Max"), 0xFFFFFFFFU);
    const std::string folder = "/home/ünïcode/Music with spaces/'quoted'\\back";
    StoreWriteText(folder, StoreRoot::User, SettingsKey, "BrConvToFolder");
    EXPECT_EQ(StoreReadText(StoreRoot::User, SettingsKey, "BrConvToFolder"), folder);
    StoreWriteText("", StoreRoot::User, SettingsKey, "Empty");
    EXPECT_TRUE(StoreValueExists(StoreRoot::User, SettingsKey, "Empty"));
    // A string ends at its first zero character.
    StoreWriteText(std::string("cut\0here", 8), StoreRoot::User, SettingsKey, "Cut");
    EXPECT_EQ(StoreReadText(StoreRoot::User, SettingsKey, "Cut"), "cut");
}

TEST(Registry, AStringLongerThanTheBufferReadsAsEmpty) {
    ConfigHome home;
    const std::string fits(259, 'f');
    const std::string tooLong(260, 't');
    StoreWriteText(fits, StoreRoot::User, SettingsKey, "Fits");
    StoreWriteText(tooLong, StoreRoot::User, SettingsKey, "TooLong");
    EXPECT_EQ(StoreReadText(StoreRoot::User, SettingsKey, "Fits", 260), fits);
    EXPECT_EQ(StoreReadText(StoreRoot::User, SettingsKey, "TooLong", 260), "");
    EXPECT_EQ(StoreReadText(StoreRoot::User, SettingsKey, "TooLong"), tooLong);
    EXPECT_EQ(StoreReadText(StoreRoot::User, SettingsKey, "Fits", 0), "");
}

TEST(Registry, AValueOfTheOtherTypeReadsAsNothing) {
    ConfigHome home;
    StoreWriteText("12", StoreRoot::User, SettingsKey, "Text");
    StoreWriteNumber(12, StoreRoot::User, SettingsKey, "Number");
    EXPECT_EQ(StoreReadNumber(StoreRoot::User, SettingsKey, "Text"), 0U);
    EXPECT_EQ(StoreReadText(StoreRoot::User, SettingsKey, "Number"), "");
    EXPECT_TRUE(StoreValueExists(StoreRoot::User, SettingsKey, "Text"));
    EXPECT_TRUE(StoreValueExists(StoreRoot::User, SettingsKey, "Number"));
    // Writing the other type replaces the value and its type.
    StoreWriteNumber(5, StoreRoot::User, SettingsKey, "Text");
    EXPECT_EQ(StoreReadNumber(StoreRoot::User, SettingsKey, "Text"), 5U);
    EXPECT_EQ(StoreReadText(StoreRoot::User, SettingsKey, "Text"), "");
}

TEST(Registry, LivesInTheUsersConfigurationFolder) {
    ConfigHome home;
    StoreWriteNumber(1, StoreRoot::User, SettingsKey, "ShownConvHelp");
    EXPECT_EQ(SettingsStorePath(), home.StorePath());
    EXPECT_TRUE(fs::is_regular_file(home.StorePath()));
    EXPECT_EQ(WaveCompressPath(), home.StoreFolder() + "WaveCompress.bin");

    // Without XDG_CONFIG_HOME (or with a relative one) it is ~/.config/brindlex.
    TestFolder otherHome;
    ScopedEnv homeEnv("HOME", otherHome.Path() + "user");
    for (const std::optional<std::string>& xdg :
         {std::optional<std::string>(), std::optional<std::string>("relative/config")}) {
        ScopedEnv xdgEnv("XDG_CONFIG_HOME", xdg);
        EXPECT_EQ(ConfigFolder(), otherHome.Path() + "user/.config/brindlex/");
        EXPECT_TRUE(fs::is_directory(otherHome.Path() + "user/.config/brindlex"));
        EXPECT_EQ(StoreReadNumber(StoreRoot::User, SettingsKey, "ShownConvHelp"), 0U);
    }
}

TEST(AppPaths, AppFolderIsTheExecutablesFolder) {
    const std::string folder = AppFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(fs::path(folder) / "", fs::read_symlink("/proc/self/exe").parent_path() / "");
}
