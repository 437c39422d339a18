// The installed program finds its codec modules and help pages as it does in the build folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "UserHome.h"

namespace fs = std::filesystem;
using testtools::Quote;
using testtools::ShellOutput;

TEST(InstalledLayout, TheInstalledConverterFindsItsModulesAndHelpPages) {
    UserHome user;
    const std::string prefix = user.Path() + "pre fix";
    int status = 0;
    ShellOutput(std::string(BMC_CMAKE_COMMAND) + " --install " + Quote(BMC_BINARY_DIR) +
                    " --prefix " + Quote(prefix) + " >/dev/null",
                status);
    ASSERT_EQ(status, 0);

    const std::string converter = prefix + "/bin/brindlex-convert";
    EXPECT_EQ(fs::read_symlink(converter), "../lib/brindlex/brindlex-convert");
    const std::string help = ShellOutput(Quote(converter) + " --help", status);
    EXPECT_EQ(status, 0);
    const std::string page = prefix + "/lib/brindlex/conv-help/help.htm";
    EXPECT_NE(help.find("The full help: " + page), std::string::npos) << help;
    EXPECT_TRUE(fs::is_directory(prefix + "/lib/brindlex/conv-help/images"));

    // MP3 needs the encoder module.
    const std::string tone = user.Path() + "tone.wav";
    ShellOutput("sox -q -n -r 44100 -c 2 -b 16 " + Quote(tone) + " synth 1 sine 440", status);
    ASSERT_EQ(status, 0);
    ShellOutput(Quote(converter) + " --to mp3 --output-dir " + Quote(user.Path()) + " " +
                    Quote(tone) + " 2>&1",
                status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ShellOutput("ffprobe -v error -show_entries stream=codec_name -of csv=p=0 " +
                              Quote(user.Path() + "tone.mp3"),
                          status),
              "mp3\n");

    const std::string entry = prefix + "/share/applications/brindlex.desktop";
    ShellOutput("desktop-file-validate " + Quote(entry), status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(ReadTextFile(entry).find("Exec=\"" + prefix + "/bin/brindlex\""), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(prefix + "/share/icons/hicolor/scalable/apps/brindlex.svg"));
}
