#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>

#include "SelectorTestSupport.h"
#include "selector/FolderTree.h"
#include "selector/SortKey.h"

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
    for (const char* folder :
         {"root", "home/ann", "media/ann/USB", "media/ann/Disk", "mnt/backup"}) {
        fs::create_directories(dir / folder);
    }
    WriteTextFile(dir / "mnt/notes.txt", "a file is no volume");
    FolderTree::Locations locations;
    locations.root = dir / "root";
    locations.home = dir / "home/ann/";
    locations.volumeFolders = {dir / "media/ann", dir / "run/media/ann", dir / "mnt"};
    const FolderTree tree(locations);

    EXPECT_EQ(Texts(tree.TopLevel()),
              (std::vector<std::string>{
                  dir / "root", "Home (" + dir / "home/ann)", "Disk (" + dir / "media/ann/Disk)",
                  "USB (" + dir / "media/ann/USB)", "backup (" + dir / "mnt/backup)"}));
    for (const auto& node : tree.TopLevel()) {
        EXPECT_EQ(node->path.back(), '/') << node->path;
        EXPECT_TRUE(node->hasChildren);
        EXPECT_EQ(node->state, stNone);
        EXPECT_EQ(node->parent, nullptr);
    }
    EXPECT_EQ(tree.TopLevel()[1]->path, dir / "home/ann/");

    const FolderTree real(FolderTree::Locations::FromEnvironment());
    ASSERT_FALSE(real.TopLevel().empty());
    EXPECT_EQ(real.TopLevel()[0]->text, "/");
    EXPECT_EQ(real.TopLevel()[0]->path, "/");
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
    // Equal when upper-cased: both kept, in either order.
    EXPECT_TRUE((texts[5] == "music" && texts[6] == "Music") ||
                (texts[5] == "Music" && texts[6] == "music"));
    const FolderNode& c = *node.children[2];
    EXPECT_EQ(c.path, dir / "C/");
    EXPECT_EQ(c.parent, &node);
    EXPECT_TRUE(c.hasChildren);
    EXPECT_FALSE(node.children[3]->hasChildren); // files only
    EXPECT_TRUE(node.children[4]->hasChildren);  // a link to C

    fs::create_directory(dir / "added-later");
    EXPECT_EQ(FolderTree::LoadSubfolders(node), 0u);
    EXPECT_EQ(node.children.size(), 7u);

    EXPECT_FALSE(FolderTree::FolderHasSubfolders(dir / "missing/"));
    FolderNode missing;
    missing.path = dir / "missing/";
    EXPECT_EQ(FolderTree::LoadSubfolders(missing), 0u);
}

TEST(SelectorTree, SortKeysFollowTheLocaleAndSurviveBadBytes) {
    EXPECT_EQ(UpperSortKey("abc"), UpperSortKey("ABC"));
    EXPECT_LT(UpperSortKey("apple"), UpperSortKey("Banana"));
    // Bytes that are not UTF-8 keep a code of their own, apart from every real character.
    EXPECT_NE(UpperSortKey("\xC3"), UpperSortKey("\xC3\xA9"));
    EXPECT_EQ(UpperSortKey("\xE2\x82").size(), 2u);
    EXPECT_NE(UpperSortKey("\xC0\xAF"), UpperSortKey("/")); // overlong

    const std::string old = std::setlocale(LC_CTYPE, nullptr);
    if (std::setlocale(LC_CTYPE, "C.UTF-8")) {
        EXPECT_EQ(UpperSortKey("\xC3\xA9t\xC3\xA9"), UpperSortKey("\xC3\x89T\xC3\x89")); // été
    }
    std::setlocale(LC_CTYPE, old.c_str());
}

TEST_F(SelectorTest, ExpandingSelectsTheFolderAndLoadsItsChildrenOnce) {
    File("A/one.mp3");
    Dir("A/Sub");
    FolderNode& a = Open("A/");
    EXPECT_EQ(Model().Selected(), &a);
    EXPECT_EQ(Model().Files().Folder(), a.path);
    EXPECT_EQ(Model().Files().LocationCaption(), " Supported Audio Files in '" + a.path + "'");
    ASSERT_EQ(a.children.size(), 1u);

    FolderNode& sub = *a.children[0];
    EXPECT_EQ(Model().ExpandFolder(sub), 0u);
    EXPECT_FALSE(sub.hasChildren); // nothing to expand: the button goes
    EXPECT_TRUE(Model().Files().Rows().empty());
    EXPECT_EQ(Model().ExpandFolder(a), 0u);
    EXPECT_EQ(Model().Selected(), &a);
    EXPECT_EQ(Model().Files().Size(), 1u);

    EXPECT_TRUE(Model().SelectFolder(nullptr));
    EXPECT_EQ(Model().Files().LocationCaption(), " Supported Audio Files in ''");
}
