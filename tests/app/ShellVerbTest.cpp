#include "app/ShellVerb.h"

#include <gtest/gtest.h>

#include "UserHome.h"
#include "system/SettingsStore.h"

namespace {
std::string Default(const std::string& key) {
    return StoreReadText(StoreRoot::FileTypes, key, "");
}
} // namespace

TEST(ShellVerb, EachTypeGainsConvertToAndAnExistingTypeKeepsItsName) {
    UserHome user;
    StoreWriteText("mp3file", StoreRoot::FileTypes, ".mp3", "");
    // .wma has a key but no default value.
    StoreWriteText("audio/x-ms-wma", StoreRoot::FileTypes, ".wma", "Content Type");
    const std::string program = "/opt/Brindlex 3/brindlex";

    RegisterShellVerb(program);

    const std::string command = "\"/opt/Brindlex 3/brindlex\" <at>%1";
    EXPECT_EQ(Default(".mp3"), "mp3file");
    EXPECT_EQ(Default("mp3file\\shell\\Convert To\\Command"), command);
    EXPECT_EQ(Default(".wma"), "BrConvert");
    EXPECT_EQ(Default(".wav"), "BrConvert");
    EXPECT_EQ(Default("BrConvert\\shell\\Convert To\\Command"), command);
    EXPECT_EQ(StoreReadText(StoreRoot::FileTypes, ".wma", "Content Type"), "audio/x-ms-wma");
    // No text on the verb key: the shell shows the key's name.
    EXPECT_FALSE(StoreValueExists(StoreRoot::FileTypes, "mp3file\\shell\\Convert To", ""));
}
