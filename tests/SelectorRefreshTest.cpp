// The selector model and the disk: re-reading folders that changed, hidden folders, and the order
// and names of what it shows.
#include <gtest/gtest.h>

#include <filesystem>

#include "SelectorTestSupport.h"
#include "selector/SelectorSettings.h"
#include "system/SettingsStore.h"

namespace fs = std::filesystem;

namespace {
std::vector<std::string> Texts(const FolderNode& node) {
    std::vector<std::string> texts;
    for (const auto& child : node.children) {
        texts.push_back(child->text);
    }
    return texts;
}

std::vector<std::string> Names(const FileList& list) {
    std::vector<std::string> names;
    for (const FileRow& row : list.Rows()) {
        names.push_back(row.shownName);
    }
    return names;
}
} // namespace

TEST_F(SelectorTest, ARefreshShowsNewFoldersAndDropsVanishedOnesWithTheirMarks) {
    File("A/Keep/k.mp3");
    File("A/Gone/Deeper/g.mp3");
    File("A/a.wav");
    FolderNode& a = Open("A/");
    Model().ClickFolderMark(Child(a, "Keep")); // 5
    Model().ExpandFolder(Child(a, "Gone"));
    FolderNode& deeper = Child(Child(a, "Gone"), "Deeper");
    Model().ClickFolderMark(deeper); // 5, one of the marks that go with its folder
    Model().SelectFolder(&a);
    Model().ClickFileMark({}, Row("a.wav"));
    EXPECT_EQ(Model().Lists().dirsToFullyBack.Size(), 2u);

    fs::remove_all(Path("A/Gone"));
    Dir("A/New/Inner");
    File("A/b.mp3");
    FolderNode& reread = Model().RefreshFolder(a);
    EXPECT_EQ(&reread, &a);
    EXPECT_EQ(Texts(a), (std::vector<std::string>{"Keep", "New"}));
    EXPECT_TRUE(Child(a, "New").hasChildren);
    EXPECT_EQ(Child(a, "Keep").state, stFully); // kept, by path
    EXPECT_EQ(Model().Lists().dirsToFullyBack.Entries(), std::vector<std::string>{Path("A/Keep/")});
    EXPECT_EQ(MarkOf("a.wav"), stFileConverted);
    EXPECT_EQ(Model().Files().Size(), 2u); // b.mp3 is listed now
    EXPECT_EQ(a.state, stContainsFiles);

    // A folder marked with its sub-folders gives a new sub-folder its mark.
    Model().ClickFolderMark(a); // 3 -> 1
    Model().ClickFolderMark(a); // 1 -> 5
    Dir("A/Newer");
    Model().RefreshFolder(a);
    EXPECT_EQ(Child(a, "Newer").state, stFully);
}

TEST_F(SelectorTest, ARefreshOfAFolderThatWentReadsItsParentAndTheSelectionMovesUp) {
    File("A/B/C/c.mp3");
    FolderNode& c = Open("A/B/C/");
    FolderNode& b = *c.parent;
    FolderNode& a = *b.parent;
    Model().ClickFolderMark(c);
    fs::remove_all(Path("A/B"));
    FolderNode& reread = Model().RefreshFolder(c); // c and b are gone after this
    EXPECT_EQ(&reread, &a);
    EXPECT_EQ(Model().Selected(), &a);
    EXPECT_TRUE(a.children.empty());
    EXPECT_FALSE(Model().ShowsExpandButton(a));
    EXPECT_TRUE(Model().Lists().Empty());
    EXPECT_EQ(a.state, stNone);
    EXPECT_EQ(Top().state, stNone);
    EXPECT_EQ(Model().FindFolder(Path("A/")), &a);
    EXPECT_EQ(Model().FindFolder(Path("A/B/")), nullptr);

    // A folder not read yet only learns whether it has sub-folders now.
    Dir("A/Fresh");
    FolderNode& fresh = Model().RefreshFolder(a);
    EXPECT_EQ(&fresh, &a);
    FolderNode& leaf = Child(a, "Fresh");
    EXPECT_FALSE(leaf.hasChildren);
    Dir("A/Fresh/Sub");
    Model().RefreshFolder(leaf);
    EXPECT_TRUE(leaf.hasChildren && Model().ShowsExpandButton(leaf));
}

TEST_F(SelectorTest, HiddenFoldersShowOnlyWhenAskedOrOnTheWayToTheSelection) {
    Dir("A/.cache/inner");
    Dir("A/visible");
    Dir("B/.only-hidden");
    Open("B/");
    FolderNode& b = *Model().Selected();
    FolderNode& a = Child(Top(), "A");
    EXPECT_TRUE(Model().ShowsExpandButton(a)); // not read yet, but "visible" is there
    EXPECT_TRUE(a.hasShownChildren);
    EXPECT_FALSE(Model().ShowsExpandButton(b)); // read: only a hidden folder inside
    Model().ExpandFolder(a);
    FolderNode& cache = Child(a, ".cache");
    EXPECT_TRUE(cache.hidden);
    EXPECT_FALSE(Model().IsShown(cache));
    EXPECT_TRUE(Model().IsShown(Child(a, "visible")));

    Model().ShowHiddenFolders(true);
    EXPECT_TRUE(Model().IsShown(cache));
    EXPECT_TRUE(Model().ShowsExpandButton(b));
    Model().ShowHiddenFolders(false);
    // A handed-over file inside one opens it, and it stays in sight while selected.
    File("A/.cache/inner/song.mp3");
    EXPECT_TRUE(Model().SelectPassedFile(Path("A/.cache/inner/song.mp3")).markedRow);
    EXPECT_TRUE(Model().IsShown(cache));
    EXPECT_TRUE(Model().IsShown(Child(cache, "inner")));
    Model().SelectFolder(&a);
    EXPECT_FALSE(Model().IsShown(cache));
    EXPECT_EQ(a.state, stToSelected); // what is marked inside still shows above it
}

TEST_F(SelectorTest, NamesSortByTheLocaleWithNumbersAsNumbersAndTwinsShowTheirExtensions) {
    for (const char* name : {"Track 10.mp3", "Track 2.mp3", "\xC3\x84lbum.wav", "Zulu.mp3",
                             "alpha.mp3", "Intro.wav", "Intro.mp3"}) {
        File("A/" + std::string(name));
    }
    for (const char* folder : {"CD 10", "CD 9", "\xC3\x84rger", "Bach", "ab"}) {
        Dir("A/" + std::string(folder));
    }
    FolderNode& a = Open("A/");
    EXPECT_EQ(Texts(a), (std::vector<std::string>{"ab", "\xC3\x84rger", "Bach", "CD 9", "CD 10"}));
    EXPECT_EQ(Names(Model().Files()),
              (std::vector<std::string>{"\xC3\x84lbum", "alpha", "Intro.mp3", "Intro.wav",
                                        "Track 2", "Track 10", "Zulu"}));
    // The path is still built from the caption and the extension.
    EXPECT_EQ(Model().Files().FullPath(3), Path("A/Intro.wav"));
    // Descending turns the whole order round.
    Model().SortByColumn(FileList::ColName);
    EXPECT_EQ(Names(Model().Files()).front(), "Zulu");
    EXPECT_EQ(Names(Model().Files()).back(), "\xC3\x84lbum");
}

TEST(SelectorSettings, KeptInTheStoreAndOutOfReasonReadsAsDesigned) {
    ConfigHome home;
    EXPECT_FALSE(SelectorSettings::Load().showHiddenFolders);
    SelectorSettings settings;
    settings.showHiddenFolders = true;
    settings.dividerLeft = 333;
    settings.listColumns = {80, -5};
    settings.fileListColumns = {90, 140};
    settings.SaveSelectorView();
    EXPECT_EQ(SelectorSettings::Load().fileListColumns, (std::array<int, 2>{0, 0}));
    settings.SaveFileListColumns();
    const SelectorSettings loaded = SelectorSettings::Load();
    EXPECT_TRUE(loaded.showHiddenFolders);
    EXPECT_EQ(loaded.dividerLeft, 333);
    EXPECT_EQ(loaded.listColumns, (std::array<int, 2>{80, 0}));
    EXPECT_EQ(loaded.fileListColumns, (std::array<int, 2>{90, 140}));
    StoreWriteNumber(4000000000u, StoreRoot::User, SettingsKey, "BrSelectorDivider");
    EXPECT_EQ(SelectorSettings::Load().dividerLeft, 0);
}
