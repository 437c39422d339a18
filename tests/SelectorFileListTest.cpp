#include <gtest/gtest.h>

#include <filesystem>

#include "SelectorTestSupport.h"
#include "selector/FileRow.h"
#include "system/Registry.h"

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

TEST(SelectorFileSize, ShowsWholeKilobytesPlusOneAndWidensPastSixDigits) {
    EXPECT_EQ(FileSizeText(0), "     0KB");
    EXPECT_EQ(FileSizeText(1), "     1KB");
    EXPECT_EQ(FileSizeText(1023), "     1KB");
    EXPECT_EQ(FileSizeText(1024), "     2KB");
    EXPECT_EQ(FileSizeText(1023998975), "999999KB");
    EXPECT_EQ(FileSizeText(5ull << 30), "5242881KB");
    EXPECT_EQ(FileSizeText(UINT64_MAX), "18014398509481984KB");
}

TEST_F(SelectorTest, RowsHoldTheShownAudioFilesOfTheFolder) {
    File("A/Song.Live.mp3", 1024);
    File("A/quiet.WAV", 0);
    File("A/talk.wma", 3000);
    File("A/readme.txt");
    File("A/playlist.wax");
    File("A/noext");
    Dir("A/folder.mp3");
    fs::resize_file(Path("A/talk.wma"), 5ull << 30); // sparse: a 5 GiB file costs no disk
    RegWriteString("wmafile", HKEY_CLASSES_ROOT, ".wma", "");
    RegWriteString("Windows Media Audio", HKEY_CLASSES_ROOT, "wmafile", "");

    Open("A/");
    const FileList& list = Model().Files();
    ASSERT_EQ(Captions(list), (std::vector<std::string>{"quiet", "Song.Live", "talk"}));
    const FileRow& quiet = list.Rows()[0];
    EXPECT_EQ(quiet.extension, ".WAV");
    EXPECT_EQ(quiet.sizeText, "     0KB");
    EXPECT_EQ(quiet.typeDescription, "WAV File");
    EXPECT_EQ(list.Rows()[1].sizeText, "     2KB");
    EXPECT_EQ(list.Rows()[1].typeDescription, "MP3 File");
    EXPECT_EQ(list.Rows()[2].size, 5ull << 30);
    EXPECT_EQ(list.Rows()[2].sizeText, "5242881KB");
    EXPECT_EQ(list.Rows()[2].typeDescription, "Windows Media Audio");
    EXPECT_EQ(list.FullPath(1), Path("A/Song.Live.mp3"));
    for (const FileRow& row : list.Rows()) {
        EXPECT_EQ(row.state, stNone);
    }
}

TEST_F(SelectorTest, TypeBoxesHideAndBringBackRowsWithTheirMarks) {
    ShownTypesGuard guard;
    File("A/a.mp3");
    File("A/b.wav");
    File("A/c.wma");
    Open("A/");
    ClickFile("a.mp3");
    Model().SetTypeShown(sftMp3, false);
    EXPECT_EQ(Captions(Model().Files()), (std::vector<std::string>{"b", "c"}));
    Model().SetTypeShown(sftWave, false);
    Model().SetTypeShown(sftWma, false);
    EXPECT_TRUE(Model().Files().Rows().empty());
    Model().SetTypeShown(sftMp3, true);
    EXPECT_EQ(Captions(Model().Files()), (std::vector<std::string>{"a"}));
    EXPECT_EQ(MarkOf("a.mp3"), stFileConverted);
}

TEST_F(SelectorTest, ColumnsSortDescendingAtTheirFirstClick) {
    File("A/banana.wav", 5000);
    File("A/Apple.mp3", 100);
    File("A/cherry.mp3", 3000);
    File("A/big.wma");
    File("A/bigger.wma");
    File("A/biggest.wma");
    fs::resize_file(Path("A/big.wma"), 2ull << 30);
    fs::resize_file(Path("A/bigger.wma"), 10ull << 30);
    fs::resize_file(Path("A/biggest.wma"), 200ull << 30);
    Open("A/");
    const FileList& list = Model().Files();
    EXPECT_EQ(Captions(list),
              (std::vector<std::string>{"Apple", "banana", "big", "bigger", "biggest", "cherry"}));
    const auto revision = list.Revision();

    Model().SortByColumn(FileList::ColName);
    EXPECT_EQ(Captions(list),
              (std::vector<std::string>{"cherry", "biggest", "bigger", "big", "banana", "Apple"}));
    EXPECT_NE(list.Revision(), revision);

    // Past six digits the size texts no longer line up; the order still follows the size.
    Model().SortByColumn(FileList::ColSize);
    EXPECT_EQ(list.SortColumn(), FileList::ColSize);
    EXPECT_EQ(Captions(list),
              (std::vector<std::string>{"biggest", "bigger", "big", "banana", "cherry", "Apple"}));
    Model().SortByColumn(FileList::ColSize);
    EXPECT_EQ(Captions(list).front(), "Apple");
    EXPECT_EQ(Captions(list).back(), "biggest");

    Model().SortByColumn(FileList::ColType); // descending: WMA, WAV, MP3
    EXPECT_EQ(list.Rows().front().typeDescription, "WMA File");
    EXPECT_EQ(list.Rows().back().typeDescription, "MP3 File");
    EXPECT_EQ(list.Rows()[3].caption, "banana");

    // A re-read keeps the column and its direction.
    Model().RefreshFileList();
    EXPECT_EQ(list.Rows().front().typeDescription, "WMA File");
    EXPECT_TRUE(list.Descending(FileList::ColType));
    EXPECT_FALSE(list.Descending(FileList::ColName + 7));
}
