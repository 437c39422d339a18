#include <gtest/gtest.h>

#include <algorithm>

#include "SelectorTestSupport.h"

using Paths = std::vector<std::string>;

TEST_F(SelectorTest, FolderClicksCycleFullyJustFilesNoneAndCarryDown) {
    File("A/a1.mp3");
    File("A/S/s.mp3");
    Dir("A/T/U");
    FolderNode& t = Open("A/T/");
    FolderNode& a = *t.parent;
    FolderNode& s = *a.children[0];
    FolderNode& u = *t.children[0];
    const auto& lists = Model().Lists();

    Model().ClickFolderMark(a);
    EXPECT_EQ(Model().Selected(), &a);
    EXPECT_TRUE(a.state == stFully && s.state == stFully && u.state == stFully);
    EXPECT_EQ(Top().state, stToSelected);
    EXPECT_EQ(MarkOf("a1.mp3"), stFileConverted);
    EXPECT_EQ(lists.dirsToFullyBack.Entries(), Paths{a.path});

    Model().ClickFolderMark(a);
    EXPECT_TRUE(a.state == stJustFiles && s.state == stNone && u.state == stNone);
    EXPECT_EQ(MarkOf("a1.mp3"), stFileConverted);
    EXPECT_EQ(lists.dirsToJustFilesBack.Entries(), Paths{a.path});
    EXPECT_EQ(lists.dirsToFullyBack.Size(), 0u);

    Model().ClickFolderMark(a);
    EXPECT_TRUE(a.state == stNone && Top().state == stNone && lists.Empty());
    EXPECT_EQ(MarkOf("a1.mp3"), stNone);

    // Below a folder showing 5: 5 -> 4 -> 1 (excluded) -> 5 without an entry of its own.
    Model().ClickFolderMark(a);
    Model().ClickFolderMark(t);
    Model().ClickFolderMark(t);
    EXPECT_TRUE(t.state == stNone && u.state == stNone && s.state == stFully);
    EXPECT_EQ(lists.dirsToExclude.Entries(), Paths{t.path});
    auto built = Built();
    std::sort(built.begin(), built.end());
    EXPECT_EQ(built, (Paths{"A/S/s.mp3", "A/a1.mp3"}));
    Model().ClickFolderMark(t);
    EXPECT_TRUE(t.state == stFully && u.state == stFully && lists.dirsToExclude.Size() == 0);
    EXPECT_EQ(lists.dirsToFullyBack.Entries(), Paths{a.path});
}

TEST_F(SelectorTest, FileClicksAddSingleFilesAndExclusions) {
    File("A/B/one.mp3");
    File("A/B/two.mp3");
    FolderNode& b = Open("A/B/");
    FolderNode& a = *b.parent;
    const auto& lists = Model().Lists();

    ClickFile("one.mp3");
    EXPECT_EQ(MarkOf("one.mp3"), stFileConverted);
    EXPECT_TRUE(b.state == stContainsFiles && a.state == stToSelected);
    EXPECT_EQ(Top().state, stToSelected);
    EXPECT_EQ(lists.filesToBack.Entries(), Paths{Path("A/B/one.mp3")});

    // From 3 a click clears; the next marks the folder, and the file ticks through it.
    Model().ClickFolderMark(b);
    EXPECT_TRUE(b.state == stNone && lists.Empty());
    Model().ClickFolderMark(b);
    EXPECT_EQ(MarkOf("one.mp3"), stFileConverted);

    // Unticked inside a marked folder: excluded, and the folder keeps its mark.
    ClickFile("two.mp3");
    EXPECT_EQ(MarkOf("two.mp3"), stNone);
    EXPECT_EQ(b.state, stFully);
    EXPECT_EQ(lists.filesToExclude.Entries(), Paths{Path("A/B/two.mp3")});
    EXPECT_EQ(Built(), Paths{"A/B/one.mp3"});
    ClickFile("two.mp3");
    EXPECT_TRUE(lists.filesToExclude.Size() == 0 && lists.filesToBack.Size() == 0);

    // A folder showing 2: everything below it clears.
    Model().ClickFolderMark(a);
    EXPECT_TRUE(a.state == stNone && b.state == stNone && lists.Empty());
}

TEST_F(SelectorTest, SeveralSelectedRowsEachInvertTheirOwnMark) {
    for (const char* name : {"A/1.mp3", "A/2.mp3", "A/3.mp3", "A/4.mp3"}) {
        File(name);
    }
    Open("A/");
    ClickFile("2.mp3");
    const std::vector<std::size_t> selected{Row("3.mp3"), Row("1.mp3"), Row("2.mp3")};
    Model().ClickFileMark(selected, Row("1.mp3"));
    EXPECT_EQ(Model().Lists().filesToBack.Entries(), (Paths{Path("A/1.mp3"), Path("A/3.mp3")}));
    // The clicked row is not among the selected ones: it alone changes.
    Model().ClickFileMark(selected, Row("4.mp3"));
    EXPECT_EQ(MarkOf("4.mp3"), stFileConverted);
    EXPECT_EQ(MarkOf("1.mp3"), stFileConverted);
    EXPECT_EQ(MarkOf("2.mp3"), stNone);
}

TEST_F(SelectorTest, MarksSurviveReReadingTheFileList) {
    File("A/keep.mp3");
    File("A/other.mp3");
    File("B/b.wav");
    FolderNode& a = Open("A/");
    ClickFile("keep.mp3");
    FolderNode& b = Open("B/");
    Model().ClickFolderMark(b);
    File("B/new.mp3");
    Model().SelectFolder(&a);
    EXPECT_EQ(MarkOf("keep.mp3"), stFileConverted);
    EXPECT_EQ(MarkOf("other.mp3"), stNone);
    Model().SelectFolder(&b);
    Model().SortByColumn(FileList::ColName);
    EXPECT_EQ(MarkOf("new.mp3"), stFileConverted);
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
    Model().ClickFolderMark(*lower);
    Model().SelectFolder(upper);
    ClickFile("x.mp3");
    Model().SelectFolder(longer);
    ClickFile("y.mp3");
    EXPECT_EQ(upper->state, stContainsFiles);
    Model().ClickFolderMark(*upper); // clears "Music/" and nothing else
    EXPECT_EQ(lower->state, stFully);
    EXPECT_EQ(Model().Lists().filesToBack.Entries(), Paths{Path("Musical/y.mp3")});
    EXPECT_FALSE(Model().Lists().FolderHasTickedFiles(Path("musical/")));
    EXPECT_EQ(Built(), (Paths{"music/x.mp3", "Musical/y.mp3"}));
}

TEST_F(SelectorTest, AHandedOverFileIsTickedInItsFolder) {
    File("D1/D2/x.mp3");
    File("D1/D2/y.wav");
    File("M/m.mp3");
    File("E/x.mp3");
    const std::string x = Path("D1/D2/x.mp3");

    auto passed = Model().SelectPassedFile(x);
    ASSERT_EQ(passed.expanded.size(), 3u);
    EXPECT_EQ(passed.expanded[0], &Top());
    FolderNode& d2 = *passed.expanded[2];
    EXPECT_EQ(Model().Selected(), &d2);
    EXPECT_EQ(passed.markedRow, Row("x.mp3"));
    EXPECT_EQ(MarkOf("x.mp3"), stFileConverted);
    // The folder and those above show at once that something below them is marked.
    EXPECT_EQ(d2.state, stContainsFiles);
    EXPECT_EQ(d2.parent->state, stToSelected);
    EXPECT_EQ(Top().state, stToSelected);
    EXPECT_EQ(Model().Lists().filesToBack.Entries(), Paths{x});
    passed = Model().SelectPassedFile(x); // covered now
    EXPECT_TRUE(passed.expanded.empty() && !passed.markedRow);

    File("D1/D2/new.mp3"); // arrived after the folder was listed
    EXPECT_TRUE(Model().SelectPassedFile(Path("D1/D2/new.mp3")).markedRow);
    Model().ClickFolderMark(Open("M/"));
    Model().SelectFolder(&Top());
    EXPECT_FALSE(Model().SelectPassedFile(Path("M/m.mp3")).markedRow); // covered by M

    // Unreachable, missing, of an unshown type, no folder: ignored. E's x.mp3 is another file.
    Open("E/");
    EXPECT_FALSE(Model().SelectPassedFile("/nowhere-bmc/x.mp3").markedRow);
    EXPECT_EQ(MarkOf("x.mp3"), stNone);
    EXPECT_FALSE(Model().SelectPassedFile(Path("nowhere/x.mp3")).markedRow);
    EXPECT_FALSE(Model().SelectPassedFile(Path("D1/missing.mp3")).markedRow);
    Model().SetTypeShown(sftWave, false);
    EXPECT_FALSE(Model().SelectPassedFile(Path("D1/D2/y.wav")).markedRow);
    EXPECT_FALSE(Model().SelectPassedFile("x.mp3").markedRow);
    EXPECT_EQ(Model().Lists().filesToBack.Size(), 2u);
}

TEST_F(SelectorTest, AHandedOverFolderIsMarkedWithItsSubfolders) {
    File("D1/D2/x.mp3");
    File("D1/top.wav");
    File("D1/D3/y.wma");
    File("Other/o.mp3");
    Model().SelectPassedFile(Path("D1/D2/x.mp3"));

    const auto passed = Model().SelectPassedFile(Path("D1/"));
    EXPECT_TRUE(passed.markedFolder);
    EXPECT_FALSE(passed.markedRow);
    FolderNode& d1 = *Model().Selected();
    EXPECT_EQ(d1.path, Path("D1/"));
    EXPECT_EQ(d1.state, stFully);
    EXPECT_EQ(Child(d1, "D2").state, stFully);
    EXPECT_EQ(Top().state, stToSelected);
    EXPECT_EQ(MarkOf("top.wav"), stFileConverted);
    // The single file below it gave way to the folder's mark, as a click would.
    EXPECT_EQ(Model().Lists().filesToBack.Size(), 0u);
    EXPECT_EQ(Model().Lists().dirsToFullyBack.Entries(), Paths{Path("D1/")});
    Paths built = Built();
    std::sort(built.begin(), built.end());
    EXPECT_EQ(built, (Paths{"D1/D2/x.mp3", "D1/D3/y.wma", "D1/top.wav"}));

    // Already marked so: nothing changes. A sub-folder of it left out comes back in.
    EXPECT_FALSE(Model().SelectPassedFile(Path("D1/")).markedFolder);
    Model().ClickFolderMark(Child(d1, "D3")); // 5 -> 4
    Model().ClickFolderMark(Child(d1, "D3")); // 4 -> 1: left out
    EXPECT_EQ(Model().Lists().dirsToExclude.Size(), 1u);
    EXPECT_TRUE(Model().SelectPassedFile(Path("D1/D3/")).markedFolder);
    EXPECT_EQ(Model().Lists().dirsToExclude.Size(), 0u);
    EXPECT_EQ(Model().Lists().dirsToFullyBack.Size(), 1u);

    // A folder made after its parent was read is found all the same.
    Dir("Other/Late");
    Open("Other/");
    File("Other/Later/l.mp3");
    EXPECT_TRUE(Model().SelectPassedFile(Path("Other/Later/")).markedFolder);
    EXPECT_EQ(Model().Selected()->path, Path("Other/Later/"));
}

TEST_F(SelectorTest, AHandedOverFileInTheHomeFolderOpensBelowHome) {
    File("home/ann/Music/song.mp3");
    UseHome("home/ann");
    const auto passed = Model().SelectPassedFile(Path("home/ann/Music/song.mp3"));
    ASSERT_EQ(passed.expanded.size(), 2u);
    EXPECT_EQ(passed.expanded[0], Model().Tree().TopLevel()[1].get());
    EXPECT_TRUE(passed.markedRow);
}
