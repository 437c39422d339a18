#include "app/ShellVerb.h"

#include <gtest/gtest.h>

#include "UserHome.h"
#include "system/Registry.h"

namespace {
std::string Default(const std::string& key) {
    return RegReadString(HKEY_CLASSES_ROOT, key, "");
}
} // namespace

TEST(ShellVerb, EachTypeGainsConvertToAndAnExistingTypeKeepsItsName) {
    UserHome user;
    RegWriteString("mp3file", HKEY_CLASSES_ROOT, ".mp3", "");
    // .wma has a key but no default value.
    RegWriteString("audio/x-ms-wma", HKEY_CLASSES_ROOT, ".wma", "Content Type");
    const std::string program = "/opt/Brindlex 3/brindlex";

    RegisterShellVerb(program);

    const std::string command = "\"/opt/Brindlex 3/brindlex\" <at>%1";
    EXPECT_EQ(Default(".mp3"), "mp3file");
    EXPECT_EQ(Default("mp3file\\shell\\Convert To\\Command"), command);
    EXPECT_EQ(Default(".wma"), "BrConvert");
    EXPECT_EQ(Default(".wav"), "BrConvert");
    EXPECT_EQ(Default("BrConvert\\shell\\Convert To\\Command"), command);
    EXPECT_EQ(RegReadString(HKEY_CLASSES_ROOT, ".wma", "Content Type"), "audio/x-ms-wma");
    // No text on the verb key: the shell shows the key's name.
    EXPECT_FALSE(RegValueExists(HKEY_CLASSES_ROOT, "mp3file\\shell\\Convert To", ""));
}
