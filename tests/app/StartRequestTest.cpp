#include "app/StartRequest.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
StartRequest Read(std::vector<std::string> args) {
    args.insert(args.begin(), "/opt/brindlex/brindlex");
    return ReadStartRequest(args);
}
} // namespace

TEST(StartRequest, MarkersDecideInTheirOrderAndAHandOverKeepsItsTailUnchanged) {
    EXPECT_EQ(Read({}).mode, StartMode::Normal);
    EXPECT_EQ(Read({"<install>"}).mode, StartMode::Install);
    EXPECT_EQ(Read({"<uninstall>"}).mode, StartMode::Uninstall);
    EXPECT_EQ(Read({"<uninstall>", "<install>"}).mode, StartMode::Install);
    EXPECT_EQ(Read({"<install>x"}).mode, StartMode::Install); // it begins the argument
    EXPECT_EQ(Read({"<INSTALL>"}).mode, StartMode::HandOver); // case counts: just a file

    // The shell's verb: the tail after the first "<at>", spaces and all, quotes not removed, made
    // absolute.
    const std::string here = std::filesystem::current_path().string();
    StartRequest both = Read({"<install>", "<at>/My Music/a", "b.mp3 "});
    EXPECT_EQ(both.mode, StartMode::HandOver);
    EXPECT_EQ(both.paths, std::vector<std::string>{"/My Music/a b.mp3 "});
    EXPECT_EQ(Read({"<at>\"/x/<at>y.wav\""}).paths,
              std::vector<std::string>{here + "/\"/x/<at>y.wav\""});
    EXPECT_EQ(Read({"<at>music/../a b.mp3"}).paths, std::vector<std::string>{here + "/a b.mp3"});
    EXPECT_EQ(Read({"/m/a.wav", "<at>/m/b c.wav"}).paths, std::vector<std::string>{"/m/b c.wav"});
}

TEST(StartRequest, AMarkerInsideAFileNameOrTheProgramPathIsPartOfTheName) {
    const std::string here = std::filesystem::current_path().string();
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> paths;
    };
    const Case cases[] = {
        {{"/tmp/x<install>.wav"}, {"/tmp/x<install>.wav"}},
        {{"a<at>f1.wav"}, {here + "/a<at>f1.wav"}},
        {{"/m/a <uninstall>.mp3", "/m/b<at>.wma"}, {"/m/a <uninstall>.mp3", "/m/b<at>.wma"}},
        // The verb's one argument: a marker later in the path stays in it.
        {{"<at>/m/x<install>y<at>.wav"}, {"/m/x<install>y<at>.wav"}},
    };
    for (const Case& c : cases) {
        const StartRequest request = Read(c.args);
        EXPECT_EQ(request.mode, StartMode::HandOver) << c.args.front();
        EXPECT_EQ(request.paths, c.paths) << c.args.front();
    }
    EXPECT_EQ(ReadStartRequest({"/tmp/<install>/brindlex"}).mode, StartMode::Normal);
    EXPECT_EQ(ReadStartRequest({"/tmp/<at>/brindlex", "--version"}).mode, StartMode::ShowVersion);
}

TEST(StartRequest, SpellingsForShellsAndDesktopFiles) {
    EXPECT_EQ(Read({"--install"}).mode, StartMode::Install);
    EXPECT_EQ(Read({"--uninstall"}).mode, StartMode::Uninstall);
    EXPECT_EQ(Read({"--remove-integration"}).mode, StartMode::RemoveIntegration);
    EXPECT_EQ(Read({"-h"}).mode, StartMode::ShowUsage);
    EXPECT_EQ(Read({"--version"}).mode, StartMode::ShowVersion);
    EXPECT_EQ(Read({"--install", "x.mp3"}).mode, StartMode::UsageError);
    EXPECT_EQ(Read({"--instal"}).mode, StartMode::UsageError);

    // Files handed over one by one, made absolute for the running window.
    const std::string here = std::filesystem::current_path().string();
    StartRequest files = Read({"/My Music/a b.mp3", "rel/ü'q\".wav", ""});
    EXPECT_EQ(files.mode, StartMode::HandOver);
    EXPECT_EQ(files.paths,
              (std::vector<std::string>{"/My Music/a b.mp3", here + "/rel/ü'q\".wav"}));
    EXPECT_EQ(Read({"--", "-live.mp3"}).paths, std::vector<std::string>{here + "/-live.mp3"});

    // After --hand-over a name is only a name, even one holding a marker or an option.
    StartRequest marked = Read({"--hand-over", "/m/<install> x.mp3", "/m/<at>y.wav", "--help"});
    EXPECT_EQ(marked.mode, StartMode::HandOver);
    EXPECT_EQ(marked.paths,
              (std::vector<std::string>{"/m/<install> x.mp3", "/m/<at>y.wav", here + "/--help"}));
    EXPECT_EQ(Read({"--hand-over"}).mode, StartMode::Normal);
}

TEST(StartRequest, FirstRunHelpComesBeforeEveryModeButTheHandOverAndTheTextOnes) {
    EXPECT_TRUE(ShowsFirstRunHelp(StartMode::Normal));
    EXPECT_TRUE(ShowsFirstRunHelp(StartMode::Install));
    EXPECT_TRUE(ShowsFirstRunHelp(StartMode::Uninstall));
    EXPECT_FALSE(ShowsFirstRunHelp(StartMode::HandOver));
    EXPECT_FALSE(ShowsFirstRunHelp(StartMode::ShowVersion));
    EXPECT_FALSE(ShowsFirstRunHelp(StartMode::RemoveIntegration));
}
