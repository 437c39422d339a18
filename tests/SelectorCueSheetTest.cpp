// Cue sheets in the selector's lists: a row per track in the file list, the tracks collected
// from a marked folder or one by one with their parts, and the album's audio never as a whole.
#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "SelectorTestSupport.h"
#include "selector/SheetTracks.h"
#include "system/HandOverPaths.h"

namespace {
// 65 s of 8 kHz audio: track 1 is a minute long, track 3 ends with the audio.
constexpr const char* Sheet = "TITLE \"Album\"\nFILE \"album.wav\" WAVE\n"
                              "  TRACK 01 AUDIO\n    TITLE \"One\"\n    INDEX 01 00:00:00\n"
                              "  TRACK 02 AUDIO\n    TITLE \"Two\"\n    INDEX 01 01:02:00\n"
                              "  TRACK 03 AUDIO\n    INDEX 01 01:04:00\n";

class SelectorCueTest : public SelectorTest {
protected:
    void SetUp() override {
        Dir("A");
        clitest::Shell("sox -q -n -r 8000 -c 1 -b 16 " + clitest::Quote(Path("A/album.wav")) +
                       " synth 65 sine 440");
        WriteTextFile(Path("A/album.cue"), Sheet);
        WriteTextFile(Path("A/bad.cue"), "TRACK 01 AUDIO\n  INDEX 01 00:00:00\n");
        File("A/other.mp3");
    }
    std::vector<std::string> Shown() {
        std::vector<std::string> shown;
        for (const FileRow& row : Model().Files().Rows()) {
            shown.push_back(row.shownName + "|" + row.sizeText);
        }
        return shown;
    }
    std::size_t Track(const std::string& name) {
        const auto& rows = Model().Files().Rows();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].caption == name) {
                return i;
            }
        }
        ADD_FAILURE() << "no track " << name;
        return 0;
    }
};
} // namespace

TEST_F(SelectorCueTest, ListsTracksWithLengthsInsteadOfTheSheetAndItsAudio) {
    Open("A/");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"01 - One|01:02", "02 - Two|00:02", "03|00:01",
                                                 "bad|", "other|     1KB"}));
    Model().SetTypeShown(CueSheetFileType(), false);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"album|  1016KB", "other|     1KB"}));
}

TEST_F(SelectorCueTest, CollectsTracksWithTheirPartsAndNeverTheWholeAudio) {
    Model().ClickFolderMark(Open("A/"));
    ClickFile("other.mp3"); // unmarked inside the marked folder
    Model().ClickFileMark({}, Track("02 - Two"));
    const std::vector<ConvertRow> rows = Model().BuildConvertList();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].fullPath, Path("A/album.wav"));
    EXPECT_EQ(rows[0].caption, Path("A/01 - One"));
    EXPECT_EQ(rows[0].part->Start, 0);
    EXPECT_EQ(rows[0].part->End, 62 * 75);
    EXPECT_EQ(rows[1].caption, Path("A/03"));
    EXPECT_EQ(rows[1].part->Start, 64 * 75);
    EXPECT_FALSE(rows[1].part->End);
    // The sheet that cannot be read is its own row, without a part: the job fails it.
    EXPECT_EQ(rows[2].fullPath, Path("A/bad.cue"));
    EXPECT_FALSE(rows[2].part);
    EXPECT_NE(SheetTracks(Path("A/bad.cue")).ErrorLine().find("Unable to read from '"),
              std::string::npos);
}

TEST_F(SelectorCueTest, ASheetHandedOverTicksEachOfItsTracks) {
    const HandOverPaths checked = HandOverPaths::Check({Path("A/album.cue")});
    ASSERT_EQ(checked.passable.size(), 1u);
    const auto passed = Model().SelectPassedFile(checked.passable.front());
    EXPECT_EQ(passed.markedRow, std::optional<std::size_t>(0));
    const std::vector<std::string> expected = {"A/album.wav", "A/album.wav", "A/album.wav"};
    EXPECT_EQ(Built(), expected);
    EXPECT_EQ(MarkOf("bad.cue"), stNone);
}
