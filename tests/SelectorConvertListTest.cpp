#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "SelectorTestSupport.h"

namespace fs = std::filesystem;

// Whichever the marks, the list goes as the selector shows the names: a folder's own files, then
// its sub-folders, each by name.
TEST_F(SelectorTest, BuildTakesFullyJustFilesAndSingleFilesInTheSelectorsNameOrder) {
    for (const char* file :
         {"A/a1.mp3", "A/a2.WMA", "A/aw.wav", "A/notes.txt", "A/S1/s1.mp3", "A/S1/Deep/d.wav",
          "A/S1/Deep/d2.mp3", "A/S1/z.mp3", "A/S2/own.mp3", "A/S2/Below/no.mp3", "A/X/no.mp3",
          "B/b.wav", "B/b2.mp3", "B/Sub/no.mp3", "C/x.mp3", "C/y.wav", "C/z.mp3"}) {
        File(file);
    }
    FolderNode& top = Open("");
    FolderNode& a = Child(top, "A");
    FolderNode& b = Child(top, "B");
    Model().ClickFolderMark(a);
    Model().ClickFolderMark(b);
    Model().ClickFolderMark(b); // Just files
    Model().ExpandFolder(a);
    Model().ClickFolderMark(Child(a, "S2")); // Just files inside Fully
    Model().ClickFolderMark(Child(a, "X"));
    Model().ClickFolderMark(Child(a, "X")); // excluded
    Open("C/");
    ClickFile("y.wav");
    ClickFile("x.mp3");
    Model().SetTypeShown(sftWave, false);

    const std::vector<std::string> expected = {"A/a1.mp3",   "A/a2.WMA",         "A/S1/s1.mp3",
                                               "A/S1/z.mp3", "A/S1/Deep/d2.mp3", "A/S2/own.mp3",
                                               "B/b2.mp3",   "C/x.mp3",          "C/y.wav"};
    EXPECT_EQ(Built(), expected);
}

TEST_F(SelectorTest, BuildRowsAndProgressLetAHandedOverFileJoin) {
    File("A/Song.Live.mp3", 1024);
    File("A/B/deep.wma", 3000);
    File("Late/late.mp3");
    Model().ClickFolderMark(Open("A/"));

    std::vector<std::size_t> counts;
    const auto rows = Model().BuildConvertList([&](const std::vector<ConvertRow>& sofar) {
        counts.push_back(sofar.size());
        if (counts.size() == 1) {
            Model().SelectPassedFile(Path("Late/late.mp3")); // arrives while the build runs
        }
    });
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(counts, (std::vector<std::size_t>{1, 2, 3}));
    EXPECT_EQ(rows.back().fullPath, Path("Late/late.mp3"));
    const ConvertRow& song = rows[rows[0].extension == ".mp3" ? 0 : 1];
    EXPECT_EQ(song.fullPath, Path("A/Song.Live.mp3"));
    EXPECT_EQ(song.caption, Path("A/Song.Live"));
    EXPECT_EQ(song.typeDescription, "MP3 File");
    EXPECT_EQ(song.sizeText, "     2KB");
}

TEST_F(SelectorTest, BuildEndsInLinkLoopsAndSkipsWhatIsGone) {
    File("A/a.mp3");
    File("A/sub/s.mp3");
    fs::create_directory_symlink(Path("A"), Path("A/sub/back"));
    fs::create_directory_symlink(".", Path("A/self"));
    File("Gone/g.mp3");
    File("Single/one.mp3", 5000);
    File("Locked/l.mp3");
    FolderNode& top = Open("");
    Model().ClickFolderMark(Child(top, "A"));
    Model().ClickFolderMark(Child(top, "Gone"));
    Model().ClickFolderMark(Child(top, "Locked"));
    Open("Single/");
    ClickFile("one.mp3");
    fs::remove_all(Path("Gone"));
    fs::remove(Path("Single/one.mp3"));
    const bool locked = geteuid() != 0; // root reads any folder
    fs::permissions(Path("Locked"), fs::perms::none);

    const auto rows = Model().BuildConvertList();
    fs::permissions(Path("Locked"), fs::perms::owner_all);
    std::vector<std::string> paths;
    for (const auto& row : rows) {
        paths.push_back(row.fullPath.substr(dir_.Path().size()));
    }
    std::erase(paths, "Locked/l.mp3");
    std::sort(paths.begin(), paths.end() - 1);
    EXPECT_EQ(paths, (std::vector<std::string>{"A/a.mp3", "A/sub/s.mp3", "Single/one.mp3"}));
    EXPECT_EQ(rows.back().sizeText, "     0KB");
    if (locked) {
        EXPECT_EQ(rows.size(), 3u);
    }
}

// A kept folder tree puts each output below the marked folder's own place: the rows carry it.
TEST_F(SelectorTest, RowsKnowTheirFolderBelowTheMarkedFolder) {
    for (const char* file : {"A/a.mp3", "A/S/s.mp3", "A/S/D/d.mp3", "B/b.mp3", "C/c.mp3"}) {
        File(file);
    }
    FolderNode& top = Open("");
    Model().ClickFolderMark(Child(top, "A"));
    Model().ClickFolderMark(Child(top, "B"));
    Model().ClickFolderMark(Child(top, "B")); // Just files
    Open("C/");
    ClickFile("c.mp3");
    std::vector<std::pair<std::string, std::string>> rows;
    for (const ConvertRow& row : Model().BuildConvertList()) {
        rows.emplace_back(row.fullPath.substr(dir_.Path().size()), row.subFolder);
    }
    std::sort(rows.begin(), rows.begin() + 3);
    const std::vector<std::pair<std::string, std::string>> expected = {{"A/S/D/d.mp3", "S/D/"},
                                                                       {"A/S/s.mp3", "S/"},
                                                                       {"A/a.mp3", ""},
                                                                       {"B/b.mp3", ""},
                                                                       {"C/c.mp3", ""}};
    EXPECT_EQ(rows, expected);
}
