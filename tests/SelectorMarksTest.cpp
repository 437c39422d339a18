#include <gtest/gtest.h>

#include <algorithm>

#include "SelectorTestSupport.h"

namespace {
std::vector<std::string> Entries(const PathList& list) {
    return list.Entries();
}
} // namespace

TEST_F(SelectorTest, FolderClicksCycleFullyJustFilesNoneAndCarryDown) {
    File("A/a1.mp3");
    File("A/a2.wav");
    File("A/S/s.mp3");
    Dir("A/T/U");
    FolderNode& a = Open("A/");
    Open("A/T/");
    FolderNode& s = *a.children[0];
    FolderNode& t = *a.children[1];
    FolderNode& u = *t.children[0];
    const auto& lists = Model().Lists();

    Model().ClickFolderMark(a);
    EXPECT_EQ(Model().Selected(), &a);
    EXPECT_EQ(a.state, stFully);
    EXPECT_EQ(s.state, stFully);
    EXPECT_EQ(u.state, stFully);
    EXPECT_EQ(Top().state, stToSelected);
    EXPECT_EQ(MarkOf("a1.mp3"), stFileConverted);
    EXPECT_EQ(MarkOf("a2.wav"), stFileConverted);
    EXPECT_EQ(Entries(lists.dirsToFullyBack), std::vector<std::string>{a.path});

    Model().ClickFolderMark(a);
    EXPECT_EQ(a.state, stJustFiles);
    EXPECT_EQ(s.state, stNone);
    EXPECT_EQ(u.state, stNone);
    EXPECT_EQ(MarkOf("a1.mp3"), stFileConverted);
    EXPECT_EQ(Entries(lists.dirsToJustFilesBack), std::vector<std::string>{a.path});
    EXPECT_EQ(lists.dirsToFullyBack.Size(), 0u);

    Model().ClickFolderMark(a);
    EXPECT_EQ(a.state, stNone);
    EXPECT_EQ(Top().state, stNone);
    EXPECT_EQ(MarkOf("a1.mp3"), stNone);
    EXPECT_TRUE(lists.Empty());

    // Below a folder showing 5: 5 -> 4 -> 1 (excluded) -> 5 again without an entry of its own.
    Model().ClickFolderMark(a);
    Model().ClickFolderMark(t);
    EXPECT_EQ(t.state, stJustFiles);
    EXPECT_EQ(u.state, stNone);
    Model().ClickFolderMark(t);
    EXPECT_EQ(t.state, stNone);
    EXPECT_EQ(s.state, stFully);
    EXPECT_EQ(a.state, stFully);
    EXPECT_EQ(Entries(lists.dirsToExclude), std::vector<std::string>{t.path});
    auto built = Built();
    std::sort(built.begin(), built.end());
    EXPECT_EQ(built, (std::vector<std::string>{"A/S/s.mp3", "A/a1.mp3", "A/a2.wav"}));
    Model().ClickFolderMark(t);
    EXPECT_EQ(t.state, stFully);
    EXPECT_EQ(u.state, stFully);
    EXPECT_EQ(lists.dirsToExclude.Size(), 0u);
    EXPECT_EQ(Entries(lists.dirsToFullyBack), std::vector<std::string>{a.path});
}

TEST_F(SelectorTest, FileClicksAddSingleFilesAndExclusions) {
    File("A/B/one.mp3");
    File("A/B/two.mp3");
    File("A/C/three.mp3");
    FolderNode& b = Open("A/B/");
    FolderNode& a = *b.parent;
    const auto& lists = Model().Lists();

    ClickFile("one.mp3");
    EXPECT_EQ(MarkOf("one.mp3"), stFileConverted);
    EXPECT_EQ(b.state, stContainsFiles);
    EXPECT_EQ(a.state, stToSelected);
    EXPECT_EQ(Top().state, stToSelected);
    EXPECT_EQ(Entries(lists.filesToBack), std::vector<std::string>{Path("A/B/one.mp3")});

    // A click on a folder showing 3 clears it; the next marks it, and the file now ticks
    // through the folder's mark.
    Model().ClickFolderMark(b);
    EXPECT_EQ(b.state, stNone);
    EXPECT_EQ(MarkOf("one.mp3"), stNone);
    EXPECT_EQ(lists.filesToBack.Size(), 0u);
    Model().ClickFolderMark(b);
    EXPECT_EQ(b.state, stFully);
    EXPECT_EQ(MarkOf("one.mp3"), stFileConverted);
    EXPECT_EQ(a.state, stToSelected);

    // Unticking inside a marked folder excludes the file; the folder keeps its mark.
    ClickFile("two.mp3");
    EXPECT_EQ(MarkOf("two.mp3"), stNone);
    EXPECT_EQ(b.state, stFully);
    EXPECT_EQ(Entries(lists.filesToExclude), std::vector<std::string>{Path("A/B/two.mp3")});
    EXPECT_EQ(Built(), std::vector<std::string>{"A/B/one.mp3"});
    ClickFile("two.mp3"); // ticked again: the exclusion goes, nothing is added
    EXPECT_TRUE(lists.filesToExclude.Size() == 0 && lists.filesToBack.Size() == 0);

    // A click on a folder showing 2 clears everything below it.
    Model().ClickFolderMark(a);
    EXPECT_EQ(a.state, stNone);
    EXPECT_EQ(b.state, stNone);
    EXPECT_TRUE(lists.Empty());
    EXPECT_EQ(Top().state, stNone);
}

TEST_F(SelectorTest, SeveralSelectedRowsEachInvertTheirOwnMark) {
    for (const char* name : {"A/1.mp3", "A/2.mp3", "A/3.mp3", "A/4.mp3"}) {
        File(name);
    }
    Open("A/");
    ClickFile("2.mp3");
    const std::vector<std::size_t> selected{Row("3.mp3"), Row("1.mp3"), Row("2.mp3")};
    Model().ClickFileMark(selected, Row("1.mp3"));
    EXPECT_EQ(MarkOf("1.mp3"), stFileConverted);
    EXPECT_EQ(MarkOf("2.mp3"), stNone);
    EXPECT_EQ(MarkOf("3.mp3"), stFileConverted);
    EXPECT_EQ(Entries(Model().Lists().filesToBack),
              (std::vector<std::string>{Path("A/1.mp3"), Path("A/3.mp3")}));
    // The clicked row is not among the selected ones: it alone changes.
    Model().ClickFileMark(selected, Row("4.mp3"));
    EXPECT_EQ(MarkOf("4.mp3"), stFileConverted);
    EXPECT_EQ(MarkOf("1.mp3"), stFileConverted);
    Model().ClickFileMark({Row("1.mp3")}, 99); // no such row
    EXPECT_EQ(Model().Lists().filesToBack.Size(), 3u);
}

TEST_F(SelectorTest, MarksSurviveReReadingTheFileList) {
    File("A/keep.mp3");
    File("A/other.mp3");
    File("B/b.wav");
    FolderNode& a = Open("A/");
    ClickFile("keep.mp3");
    FolderNode& b = Open("B/");
    Model().ClickFolderMark(b);
    File("B/new.mp3"); // appears at the next read
    Model().SelectFolder(&a);
    EXPECT_EQ(MarkOf("keep.mp3"), stFileConverted);
    EXPECT_EQ(MarkOf("other.mp3"), stNone);
    Model().SelectFolder(&b);
    EXPECT_EQ(MarkOf("new.mp3"), stFileConverted);
    Model().SortByColumn(FileList::ColName);
    EXPECT_EQ(MarkOf("b.wav"), stFileConverted);
}

TEST_F(SelectorTest, PathsCompareExactly) {
    File("Music/x.mp3");
    File("music/x.mp3");
    File("Musical/y.mp3");
    FolderNode& top = Open("");
    FolderNode* upper = nullptr;
    FolderNode* lower = nullptr;
    FolderNode* longer = nullptr;
    for (const auto& child : top.children) {
        (child->text == "Music" ? upper : child->text == "music" ? lower : longer) = child.get();
    }
    ASSERT_TRUE(upper && lower && longer);
    Model().ClickFolderMark(*lower);
    Model().SelectFolder(upper);
    ClickFile("x.mp3");
    Model().SelectFolder(longer);
    ClickFile("y.mp3");
    EXPECT_EQ(upper->state, stContainsFiles);

    Model().ClickFolderMark(*upper); // 3 -> 1, clearing "Music/" and nothing else
    EXPECT_EQ(upper->state, stNone);
    EXPECT_EQ(lower->state, stFully);
    EXPECT_EQ(Entries(Model().Lists().dirsToFullyBack), std::vector<std::string>{lower->path});
    EXPECT_EQ(Entries(Model().Lists().filesToBack),
              std::vector<std::string>{Path("Musical/y.mp3")});
    EXPECT_FALSE(Model().Lists().FolderHasTickedFiles(Path("musical/")));
    EXPECT_TRUE(Model().Lists().FolderHasTickedFiles(Path("Musical/")));
    EXPECT_EQ(Built(), (std::vector<std::string>{"music/x.mp3", "Musical/y.mp3"}));
}
