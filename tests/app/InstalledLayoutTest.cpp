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

    for (const std::string page : {"brindlex", "brindlex-convert"}) {
        EXPECT_EQ(
            ShellOutput("gzip -dc " + Quote(prefix + "/share/man/man1/" + page + ".1.gz"), status),
            ReadTextFile(std::string(BMC_SOURCE_DIR) + "/desktop/man/" + page + ".1"));
    }

    // "Convert To" for every user, on audio files and folders, without "brindlex --install".
    const std::string exec = "\"" + prefix + "/bin/brindlex\" --hand-over %F";
    const std::string dolphin = prefix + "/share/kio/servicemenus/brindlex-convert-to.desktop";
    ShellOutput("desktop-file-validate " + Quote(dolphin), status);
    EXPECT_EQ(status, 0);
    const std::string nemo =
        ReadTextFile(prefix + "/share/nemo/actions/brindlex-convert-to.nemo_action");
    const std::string actions =
        ReadTextFile(prefix + "/share/file-manager/actions/brindlex-convert-to.desktop");
    EXPECT_NE(ReadTextFile(dolphin).find("MimeType=audio/x-wav;"), std::string::npos);
    EXPECT_NE(ReadTextFile(dolphin).find("inode/directory;\n"), std::string::npos);
    EXPECT_NE(ReadTextFile(dolphin).find("\nExec=" + exec + "\n"), std::string::npos);
    EXPECT_NE(nemo.find("mp3;"), std::string::npos);
    EXPECT_NE(nemo.find(";dir;\n"), std::string::npos);
    EXPECT_NE(nemo.find("\nExec='" + prefix + "/bin/brindlex' --hand-over %F\n"),
              std::string::npos);
    EXPECT_NE(actions.find("\nMimeTypes=audio/x-wav;"), std::string::npos);
    EXPECT_NE(actions.find("inode/directory;\nExec=" + exec + "\n"), std::string::npos);
}
