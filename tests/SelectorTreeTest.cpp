#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>

#include "SelectorTestSupport.h"
#include "selector/NameOrder.h"

namespace fs = std::filesystem;

namespace {
std::vector<std::string> Texts(const std::vector<std::unique_ptr<FolderNode>>& nodes) {
    std::vector<std::string> texts;
    for (const auto& node : nodes) {
        texts.push_back(node->text);
    }
    return texts;
}
} // namespace

TEST(SelectorTree, TopLevelNodesStandForRootHomeAndVolumes) {
    TestFolder dir;
    for (const char* folder : {"root", "home/ann", "media/ann/USB", "media/ann/Disk", "mnt/b"}) {
        fs::create_directories(dir / folder);
    }
    WriteTextFile(dir / "mnt/notes.txt", "a file is no volume");
    FolderTree::Locations locations{
        dir / "root", dir / "home/ann/", {dir / "media/ann", dir / "run/media/ann", dir / "mnt"}};
    const FolderTree tree(locations);
    EXPECT_EQ(Texts(tree.TopLevel()),
              (std::vector<std::string>{dir / "root", "Home (" + dir / "home/ann)",
                                        "Disk (" + dir / "media/ann/Disk)",
                                        "USB (" + dir / "media/ann/USB)", "b (" + dir / "mnt/b)"}));
    EXPECT_EQ(tree.TopLevel()[1]->path, dir / "home/ann/");
    EXPECT_EQ(tree.TopLevel()[2]->path, dir / "media/ann/Disk/");

    const FolderTree real(FolderTree::Locations::FromEnvironment());
    EXPECT_EQ(real.TopLevel().at(0)->text, "/");
    EXPECT_EQ(real.TopLevel().at(0)->path, "/");
}

TEST(SelectorTree, LoadsOnlyFoldersOnceSortedWithoutRegardToCase) {
    TestFolder dir;
    for (const char* folder : {"b", "A", "C/deeper", "music", "Music", "files-only"}) {
        fs::create_directories(dir / folder);
    }
    WriteTextFile(dir / "song.mp3", "x");
    WriteTextFile(dir / "files-only/song.mp3", "x");
    fs::create_directory_symlink(dir / "C", dir / "linked");
    fs::create_symlink(dir / "gone", dir / "dangling");

    FolderNode node;
    node.path = dir.Path();
    EXPECT_EQ(FolderTree::LoadSubfolders(node), 7u);
    const auto texts = Texts(node.children);
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 5),
              (std::vector<std::string>{"A", "b", "C", "files-only", "linked"}));
    EXPECT_EQ(texts[5] + texts[6] == "musicMusic" || texts[5] + texts[6] == "Musicmusic", true);
    EXPECT_EQ(node.children[2]->path, dir / "C/");
    EXPECT_EQ(node.children[2]->parent, &node);
    EXPECT_TRUE(node.children[2]->hasChildren);
    EXPECT_FALSE(node.children[3]->hasChildren); // files only
    EXPECT_TRUE(node.children[4]->hasChildren);  // a link to C

    fs::create_directory(dir / "added-later");
    EXPECT_EQ(FolderTree::LoadSubfolders(node), 0u);
    EXPECT_EQ(node.children.size(), 7u);
    EXPECT_FALSE(FolderTree::FolderHasSubfolders(dir / "missing/"));
}

TEST(SelectorTree, SortKeysFollowTheLocaleAndKeepBadBytesApart) {
    const NameOrder& user = NameOrder::ForUser();
    EXPECT_EQ(user.Key("abc"), user.Key("ABC"));
    EXPECT_NE(user.Key("\xC3"), user.Key("\xC3\xA9"));
    EXPECT_NE(user.Key("\xC0\xAF"), user.Key("/")); // overlong
    EXPECT_NE(user.Key("\xC3"), user.Key("\xC4"));  // two bad bytes stay two names
    EXPECT_EQ(user.Key("\xC3\xA9t\xC3\xA9"), user.Key("\xC3\x89T\xC3\x89")); // été
    EXPECT_LT(user.Key("e"), user.Key("\xC3\xA9"));                          // accents still count

    // Whatever the locale: numbers as numbers, an umlaut among its letter.
    for (const char* locale : {"", "C", "POSIX", "en_US.UTF-8", "de_DE.UTF-8@euro", "xx_YY"}) {
        const NameOrder order(locale);
        const std::vector<std::string> sorted{"01 Intro",     "1 Intro",  "Album",
                                              "\xC3\x84lbum", "Alchemy",  "Track 2",
                                              "track 9",      "Track 10", "Zebra"};
        for (std::size_t i = 0; i + 1 < sorted.size(); ++i) {
            EXPECT_LE(order.Compare(sorted[i], sorted[i + 1]), 0)
                << locale << ": " << sorted[i] << " / " << sorted[i + 1];
        }
        EXPECT_EQ(order.Compare("Track 10", "Track 2"), 1) << locale;
    }
}

TEST_F(SelectorTest, ExpandingSelectsTheFolderAndLoadsItsChildrenOnce) {
    File("A/one.mp3");
    Dir("A/Sub");
    FolderNode& a = Open("A/");
    EXPECT_EQ(Model().Selected(), &a);
    EXPECT_EQ(Model().Files().LocationCaption(), " Supported Audio Files in '" + a.path + "'");
    FolderNode& sub = *a.children.at(0);
    EXPECT_EQ(Model().ExpandFolder(sub), 0u);
    EXPECT_FALSE(sub.hasChildren); // nothing inside: the expand button goes
    EXPECT_TRUE(Model().Files().Rows().empty());
    EXPECT_EQ(Model().ExpandFolder(a), 0u);
    EXPECT_EQ(Model().Files().Size(), 1u);
    EXPECT_TRUE(Model().SelectFolder(nullptr));
    EXPECT_EQ(Model().Files().LocationCaption(), " Supported Audio Files in ''");
}
