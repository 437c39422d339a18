#include <gtest/gtest.h>

#include <filesystem>

#include "SelectorTestSupport.h"
#include "system/SettingsStore.h"

namespace fs = std::filesystem;

namespace {
std::vector<std::string> Captions(const FileList& list) {
    std::vector<std::string> captions;
    for (const FileRow& row : list.Rows()) {
        captions.push_back(row.caption);
    }
    return captions;
}
} // namespace

TEST_F(SelectorTest, RowsHoldTheShownAudioFilesWithTheirSizesAndTypes) {
    EXPECT_EQ(FileSizeText(1023), "     1KB");
    EXPECT_EQ(FileSizeText(1023998975), "999999KB");
    EXPECT_EQ(FileSizeText(UINT64_MAX), "18014398509481984KB");
    File("A/Song.Live.mp3", 1024);
    File("A/quiet.WAV", 0);
    File("A/talk.wma");
    for (const char* other : {"A/readme.txt", "A/list.wax", "A/noext", "A/folder.mp3/x"}) {
        File(other);
    }
    fs::resize_file(Path("A/talk.wma"), 5ull << 30); // sparse: costs no disk
    StoreWriteText("wmafile", StoreRoot::FileTypes, ".wma", "");
    StoreWriteText("Windows Media Audio", StoreRoot::FileTypes, "wmafile", "");

    Open("A/");
    const FileList& list = Model().Files();
    ASSERT_EQ(Captions(list), (std::vector<std::string>{"quiet", "Song.Live", "talk"}));
    const auto& rows = list.Rows();
    EXPECT_EQ(rows[0].extension, ".WAV");
    EXPECT_EQ(rows[0].sizeText, "     0KB");
    EXPECT_EQ(rows[0].typeDescription, "WAV File");
    EXPECT_EQ(rows[1].sizeText, "     2KB");
    EXPECT_EQ(rows[2].sizeText, "5242881KB");
    EXPECT_EQ(rows[2].typeDescription, "Windows Media Audio");
    EXPECT_EQ(list.FullPath(1), Path("A/Song.Live.mp3"));
}

TEST_F(SelectorTest, TypeBoxesHideAndBringBackRowsWithTheirMarks) {
    File("A/a.mp3");
    File("A/b.wav");
    File("A/c.wma");
    Open("A/");
    ClickFile("a.mp3");
    Model().SetTypeShown(sftMp3, false);
    EXPECT_EQ(Captions(Model().Files()), (std::vector<std::string>{"b", "c"}));
    Model().SetTypeShown(sftWave, false);
    Model().SetTypeShown(sftMp3, true);
    EXPECT_EQ(Captions(Model().Files()), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(MarkOf("a.mp3"), stFileConverted);
}

TEST_F(SelectorTest, ColumnsSortDescendingAtTheirFirstClick) {
    File("A/banana.wav", 5000);
    File("A/Apple.mp3", 100);
    File("A/cherry.mp3", 3000);
    for (auto [name, gib] :
         {std::pair{"A/big.wma", 2}, {"A/bigger.wma", 10}, {"A/huge.wma", 200}}) {
        File(name);
        fs::resize_file(Path(name), static_cast<std::uintmax_t>(gib) << 30);
    }
    Open("A/");
    const FileList& list = Model().Files();
    EXPECT_EQ(Captions(list),
              (std::vector<std::string>{"Apple", "banana", "big", "bigger", "cherry", "huge"}));
    const auto revision = list.Revision();
    Model().SortByColumn(FileList::ColName);
    EXPECT_EQ(Captions(list).front(), "huge");
    EXPECT_EQ(Captions(list).back(), "Apple");
    EXPECT_NE(list.Revision(), revision);

    // Past six digits the size texts no longer line up; the order still follows the size.
    Model().SortByColumn(FileList::ColSize);
    EXPECT_EQ(Captions(list),
              (std::vector<std::string>{"huge", "bigger", "big", "banana", "cherry", "Apple"}));
    Model().SortByColumn(FileList::ColSize);
    EXPECT_EQ(Captions(list).front(), "Apple");

    Model().SortByColumn(FileList::ColType); // descending: WMA, WAV, MP3
    EXPECT_EQ(list.Rows()[3].caption, "banana");
    Model().RefreshFileList(); // keeps the column and its direction
    EXPECT_EQ(list.Rows()[3].caption, "banana");
    EXPECT_EQ(list.Rows().back().typeDescription, "MP3 File");
}
