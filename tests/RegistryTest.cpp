#include <gtest/gtest.h>

#include <filesystem>

#include "TestFolder.h"
#include "system/AppPaths.h"
#include "system/Registry.h"

namespace fs = std::filesystem;

TEST(Registry, ReadingCreatesTheKeyAndExistsCreatesNothing) {
    ConfigHome home;
    const std::string key = "SOFTWARE\\Orvantis\\Brindlex 3";
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, key, "BrConvTo"));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, key));

    EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, key, "BrConvTo"), 0U);
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, key));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "SOFTWARE\\Orvantis")); // and the keys above
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, key, "BrConvTo"));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, key));

    EXPECT_EQ(RegReadString(HKEY_CLASSES_ROOT, ".new", ""), "");
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, ".new"));
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, ""));
}

TEST(Registry, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    ConfigHome home;
    RegWriteDword(2, HKEY_CURRENT_USER, SettingsKey, "BrConvTo");
    EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, "software\\ORVANTIS\\brindlex 3", "brconvto"), 2U);
    // Stray separators name the same key.
    EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, "\\SOFTWARE\\\\Orvantis\\Brindlex 3\\", "BRCONVTO"),
              2U);
    RegWriteDword(0, HKEY_CURRENT_USER, "Software\\Orvantis\\Brindlex 3", "BRCONVTO");
    EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, SettingsKey, "BrConvTo"), 0U);
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, SettingsKey, "brCONVto"));
    // The two roots are separate trees.
    RegWriteDword(9, HKEY_CLASSES_ROOT, SettingsKey, "BrConvTo");
    EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, SettingsKey, "BrConvTo"), 0U);
    EXPECT_EQ(RegReadDword(HKEY_CLASSES_ROOT, SettingsKey, "BrConvTo"), 9U);
}

TEST(Registry, TheEmptyNameIsTheKeysDefaultValue) {
    ConfigHome home;
    RegWriteString("mp3file", HKEY_CLASSES_ROOT, ".mp3", "");
    RegWriteString("other", HKEY_CLASSES_ROOT, ".mp3", "Content Type");
    EXPECT_EQ(RegReadString(HKEY_CLASSES_ROOT, ".mp3", ""), "mp3file");
    EXPECT_EQ(RegReadString(HKEY_CLASSES_ROOT, ".MP3", "content type"), "other");
    EXPECT_TRUE(RegValueExists(HKEY_CLASSES_ROOT, ".mp3", ""));
    EXPECT_FALSE(RegValueExists(HKEY_CLASSES_ROOT, ".wav", ""));
}

TEST(Registry, KeepsFullDwordsAndStrings) {
    ConfigHome home;
    RegWriteDword(0xFFFFFFFFU, HKEY_CURRENT_USER, SettingsKey, "Max");
    EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, SettingsKey, "Max"), 0xFFFFFFFFU);
    const std::string folder = "/home/ünïcode/Music with spaces/'quoted'\\back";
    RegWriteString(folder, HKEY_CURRENT_USER, SettingsKey, "BrConvToFolder");
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, SettingsKey, "BrConvToFolder"), folder);
    RegWriteString("", HKEY_CURRENT_USER, SettingsKey, "Empty");
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, SettingsKey, "Empty"));
    // A string ends at its first zero character.
    RegWriteString(std::string("cut\0here", 8), HKEY_CURRENT_USER, SettingsKey, "Cut");
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, SettingsKey, "Cut"), "cut");
}

TEST(Registry, AStringLongerThanTheBufferReadsAsEmpty) {
    ConfigHome home;
    const std::string fits(259, 'f');
    const std::string tooLong(260, 't');
    RegWriteString(fits, HKEY_CURRENT_USER, SettingsKey, "Fits");
    RegWriteString(tooLong, HKEY_CURRENT_USER, SettingsKey, "TooLong");
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, SettingsKey, "Fits", 260), fits);
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, SettingsKey, "TooLong", 260), "");
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, SettingsKey, "TooLong"), tooLong);
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, SettingsKey, "Fits", 0), "");
}

TEST(Registry, AValueOfTheOtherTypeReadsAsNothing) {
    ConfigHome home;
    RegWriteString("12", HKEY_CURRENT_USER, SettingsKey, "Text");
    RegWriteDword(12, HKEY_CURRENT_USER, SettingsKey, "Number");
    EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, SettingsKey, "Text"), 0U);
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, SettingsKey, "Number"), "");
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, SettingsKey, "Text"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, SettingsKey, "Number"));
    // Writing the other type replaces the value and its type.
    RegWriteDword(5, HKEY_CURRENT_USER, SettingsKey, "Text");
    EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, SettingsKey, "Text"), 5U);
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, SettingsKey, "Text"), "");
}

TEST(Registry, LivesInTheUsersConfigurationFolder) {
    ConfigHome home;
    RegWriteDword(1, HKEY_CURRENT_USER, SettingsKey, "ShownConvHelp");
    EXPECT_EQ(RegistryPath(), home.StorePath());
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
        EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, SettingsKey, "ShownConvHelp"), 0U);
    }
}

TEST(AppPaths, AppFolderIsTheExecutablesFolder) {
    const std::string folder = AppFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(fs::path(folder) / "", fs::read_symlink("/proc/self/exe").parent_path() / "");
}
