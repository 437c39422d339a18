#include "app/FirstRunHelp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "UserHome.h"
#include "system/SettingsStore.h"

namespace {
// The build folder holds the pages beside the programs, as AppFolder() sees it.
const std::string BuildFolder = std::string(BMC_BINARY_DIR) + "/";

std::vector<std::string> StartTimes(int starts) {
    std::vector<std::string> opened;
    for (int i = 0; i < starts; ++i) {
        ShowFirstRunHelp(
            [&](const std::string& path) {
                opened.push_back(path);
                return true;
            },
            BuildFolder);
    }
    return opened;
}
} // namespace

TEST(FirstRunHelp, ANewUserSeesTheHelpOnceAndNeverTheChangesPage) {
    UserHome user;
    const std::vector<std::string> opened = StartTimes(3);
    ASSERT_EQ(opened, std::vector<std::string>{BuildFolder + "conv-help/help.htm"});
    EXPECT_TRUE(std::filesystem::is_regular_file(opened.front()));
    EXPECT_TRUE(StoreValueExists(StoreRoot::User, SettingsKey, "ShownConvVerChgsr1"));
}

TEST(FirstRunHelp, AnUpdatedUserSeesTheChangesPageOnce) {
    UserHome user;
    // A user of an earlier version: only the help marker, with a content that must not count.
    StoreWriteNumber(7, StoreRoot::User, SettingsKey, "ShownConvHelp");
    const std::vector<std::string> opened = StartTimes(2);
    ASSERT_EQ(opened,
              std::vector<std::string>{BuildFolder + "conv-help/music-conv-version-changes.htm"});
    EXPECT_TRUE(std::filesystem::is_regular_file(opened.front()));
}

// No program took the page (no web browser): it is offered again at the next start, and only
// the page that was taken counts as shown.
TEST(FirstRunHelp, APageNoProgramTookIsOfferedAgain) {
    UserHome user;
    std::vector<std::string> tried;
    const auto refuse = [&](const std::string& path) {
        tried.push_back(path);
        return false;
    };
    EXPECT_EQ(ShowFirstRunHelp(refuse, BuildFolder), BuildFolder + "conv-help/help.htm");
    EXPECT_EQ(ShowFirstRunHelp(refuse, BuildFolder), BuildFolder + "conv-help/help.htm");
    EXPECT_EQ(tried.size(), 2U);
    EXPECT_FALSE(StoreValueExists(StoreRoot::User, SettingsKey, "ShownConvHelp"));
    EXPECT_FALSE(StoreValueExists(StoreRoot::User, SettingsKey, "ShownConvVerChgsr1"));

    // Taken later (the window hears it from the opener after a while).
    const FirstRunHelp help(BuildFolder);
    EXPECT_EQ(help.Page(), BuildFolder + "conv-help/help.htm");
    help.MarkShown();
    EXPECT_EQ(FirstRunHelp(BuildFolder).Page(), "");
    EXPECT_TRUE(StartTimes(1).empty());
}
