// Cue sheets read into tracks: places exact in sample frames, tags, code pages, and a cause for
// every sheet that cannot be split.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestFolder.h"
#include "cue/CueSheet.h"

using testtools::Quote;
using testtools::Shell;

namespace {

struct Place {
    unsigned number;
    std::string file;
    int64_t start;
    int64_t end; // -1: to the end of the file
};

std::vector<Place> Places(const CueSheet& sheet, int64_t rate) {
    std::vector<Place> places;
    for (const CueTrack& track : sheet.Tracks()) {
        places.push_back({track.number, std::filesystem::path(track.audioPath).filename().string(),
                          track.StartFrame(rate), track.EndFrame(rate).value_or(-1)});
    }
    return places;
}

bool operator==(const Place& a, const Place& b) {
    return a.number == b.number && a.file == b.file && a.start == b.start && a.end == b.end;
}

void PrintTo(const Place& p, std::ostream* os) {
    *os << p.number << " " << p.file << " " << p.start << ".." << p.end;
}

std::string Field(const CueTrack& track, const char* name) {
    return track.tags.fields[name].toString().to8Bit(true);
}

// Two files; the second is named as WAVE but was compressed since. Track 2 has a gap (INDEX 00)
// that ends track 1; track 4 has a PREGAP that the file does not hold.
constexpr const char* Album = R"(REM GENRE "Art Rock"
REM DATE 1999
REM DISCNUMBER 2
PERFORMER "The Band"
TITLE "Album"
FILE "one.wav" WAVE
  TRACK 01 AUDIO
    TITLE "Intro"
    ISRC GBAAA9900001
    INDEX 01 00:02:01
  TRACK 02 AUDIO
    TITLE "Song"
    PERFORMER "Guest"
    REM COMMENT "live take"
    INDEX 00 00:10:00
    INDEX 01 00:12:30
FILE "two.wav" APE
  TRACK 03 AUDIO
    TITLE "Other"
    INDEX 01 00:00:00
  TRACK 04 AUDIO
    PREGAP 00:02:00
    INDEX 01 01:00:74
)";

TEST(CueSheetTest, PlacesAreExactSampleFramesAtEachRate) {
    TestFolder folder;
    WriteTextFile(folder / "one.wav", "");
    WriteTextFile(folder / "two.flac", "");
    WriteTextFile(folder / "album.cue", Album);
    const CueSheet sheet = CueSheet::Read(folder / "album.cue");
    ASSERT_FALSE(sheet.Failed()) << sheet.ErrorLine();
    // 2 s 1 frame before track 1 is a track of its own.
    const int64_t hidden = 2 * 75 + 1, song = 12 * 75 + 30, last = 60 * 75 + 74;
    for (const int64_t rate : {44100, 48000}) {
        const int64_t perCd = rate / 75;
        EXPECT_EQ(Places(sheet, rate),
                  (std::vector<Place>{{0, "one.wav", 0, hidden * perCd},
                                      {1, "one.wav", hidden * perCd, song * perCd},
                                      {2, "one.wav", song * perCd, -1},
                                      {3, "two.flac", 0, last * perCd},
                                      {4, "two.flac", last * perCd, -1}}))
            << rate;
    }
}

TEST(CueSheetTest, TracksCarryTheSheetsTags) {
    TestFolder folder;
    WriteTextFile(folder / "one.wav", "");
    WriteTextFile(folder / "two.wav", "");
    const CueSheet sheet = CueSheet::Parse(Album, folder / "album.cue");
    ASSERT_EQ(sheet.Tracks().size(), 5u) << sheet.ErrorLine();
    const CueTrack& hidden = sheet.Tracks()[0];
    EXPECT_EQ(Field(hidden, "TITLE"), "Hidden Track");
    EXPECT_EQ(Field(hidden, "TRACKNUMBER"), "0");
    const CueTrack& intro = sheet.Tracks()[1];
    EXPECT_EQ(Field(intro, "TITLE"), "Intro");
    EXPECT_EQ(Field(intro, "ARTIST"), "The Band");
    EXPECT_EQ(Field(intro, "ALBUMARTIST"), "The Band");
    EXPECT_EQ(Field(intro, "ALBUM"), "Album");
    EXPECT_EQ(Field(intro, "TRACKNUMBER") + "/" + Field(intro, "TRACKTOTAL"), "1/4");
    EXPECT_EQ(Field(intro, "GENRE") + "|" + Field(intro, "DATE") + "|" + Field(intro, "DISCNUMBER"),
              "Art Rock|1999|2");
    ASSERT_EQ(intro.tags.freeFields.size(), 1u);
    EXPECT_EQ(intro.tags.freeFields[0].name, "ISRC");
    EXPECT_EQ(intro.tags.freeFields[0].values.toString(), "GBAAA9900001");
    const CueTrack& song = sheet.Tracks()[2];
    EXPECT_EQ(Field(song, "ARTIST"), "Guest");
    EXPECT_EQ(Field(song, "ALBUMARTIST"), "The Band");
    EXPECT_EQ(Field(song, "COMMENT"), "live take");
    EXPECT_FALSE(sheet.Tracks()[3].tags.fields.contains("COMMENT"));
}

TEST(CueSheetTest, OneSecondBeforeTrackOneStaysInIt) {
    const std::string sheet = "FILE \"a.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:01:00\n";
    TestFolder folder;
    WriteTextFile(folder / "a.wav", "");
    EXPECT_EQ(Places(CueSheet::Parse(sheet, folder / "a.cue"), 44100),
              (std::vector<Place>{{1, "a.wav", 0, -1}}));
}

// Titles in Cyrillic and Japanese, stored by iconv in the code pages old rippers wrote.
TEST(CueSheetTest, CodePagesBecomeUtf8) {
    TestFolder folder;
    WriteTextFile(folder / "a.wav", "");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"WINDOWS-1251", "Кино — Группа крови, Звезда по имени Солнце"},
        {"SHIFT_JIS", "東京事変「群青日和」、遭難、修羅場、透明人間"},
        {"WINDOWS-1252", "Café déjà vu à l'été, Müller über Straße"},
    };
    for (const auto& [charset, title] : cases) {
        const std::string text = "TITLE \"" + title + "\"\nFILE \"a.wav\" WAVE\nTRACK 01 AUDIO\n" +
                                 "TITLE \"" + title + "\"\nINDEX 01 00:00:00\n";
        WriteTextFile(folder / "utf8.cue", text);
        Shell("iconv -f UTF-8 -t " + charset + " " + Quote(folder / "utf8.cue") + " > " +
              Quote(folder / "old.cue"));
        for (const std::string& given : {std::string(), charset}) {
            const CueSheet sheet = CueSheet::Read(folder / "old.cue", given);
            ASSERT_EQ(sheet.Tracks().size(), 1u) << charset << " " << sheet.ErrorLine();
            EXPECT_EQ(Field(sheet.Tracks()[0], "TITLE"), title) << charset << " " << given;
        }
    }
    const CueSheet marked = CueSheet::Parse("\xEF\xBB\xBFTITLE \"Ünï\"\nFILE a.wav WAVE\n"
                                            "TRACK 01 AUDIO\nINDEX 01 00:00:00\n",
                                            folder / "a.cue");
    ASSERT_EQ(marked.Tracks().size(), 1u) << marked.ErrorLine();
    EXPECT_EQ(Field(marked.Tracks()[0], "ALBUM"), "Ünï");
}

// metaflac stores the sheet in the FLAC's CUESHEET block and writes it back as text; that text,
// read as the file's own sheet, gives the starts the sheet gave.
TEST(CueSheetTest, SheetExportedByMetaflacGivesTheSameStarts) {
    TestFolder folder;
    const std::string flac = folder / "album.flac";
    Shell("sox -n -r 44100 -c 2 -b 16 " + Quote(folder / "album.wav") + " synth 30 sine 440");
    Shell("flac -s -o " + Quote(flac) + " " + Quote(folder / "album.wav"));
    const std::string text = "FILE \"album.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                             "TRACK 02 AUDIO\nINDEX 00 00:09:20\nINDEX 01 00:10:00\n"
                             "TRACK 03 AUDIO\nINDEX 01 00:21:37\n";
    WriteTextFile(folder / "album.cue", text);
    Shell("metaflac --import-cuesheet-from=" + Quote(folder / "album.cue") + " " + Quote(flac));
    Shell("metaflac --export-cuesheet-to=" + Quote(folder / "back.cue") + " " + Quote(flac));
    CueSheet embedded = CueSheet::Embedded(ReadTextFile(folder / "back.cue"), flac);
    const CueSheet original = CueSheet::Read(folder / "album.cue");
    ASSERT_FALSE(embedded.Failed()) << embedded.ErrorLine();
    std::vector<Place> expected = Places(original, 44100);
    for (Place& place : expected) {
        place.file = "album.flac";
    }
    EXPECT_EQ(Places(embedded, 44100), expected);
    EXPECT_EQ(expected[1].start, 10 * 44100);
    EXPECT_TRUE(embedded.CheckLength(flac, 30 * 44100, 44100));
    EXPECT_FALSE(embedded.CheckLength(flac, 21 * 44100, 44100));
    EXPECT_EQ(embedded.ErrorLine(), "Unable to read from '" + flac +
                                        "': the INDEX 01 of track 3 lies past the end of "
                                        "'album.flac'.");
}

TEST(CueSheetTest, EachBadSheetGivesItsCause) {
    TestFolder folder;
    WriteTextFile(folder / "a.wav", "");
    const std::string head = "FILE \"a.wav\" WAVE\nTRACK 01 AUDIO\n";
    std::string hundred = "FILE \"a.wav\" WAVE\n";
    for (int i = 1; i <= 100; ++i) {
        hundred += "TRACK " + std::to_string(i % 100) + " AUDIO\nINDEX 01 " + std::to_string(i) +
                   ":00:00\n";
    }
    const std::vector<std::pair<std::string, std::string>> cases = {
        {head + "INDEX 01 00:00:00\nTITEL \"x\"\n", "a syntax error in line 4"},
        {head + "INDEX 01 00:00:75\n", "a syntax error in line 3"},
        // libcue drops a track of a mode it does not know, with its INDEX lines.
        {head + "INDEX 01 00:00:00\nTRACK 02 DIUA\nINDEX 01 00:04:00\n",
         "a syntax error in line 4"},
        {head + "TITLE \"Say \"Hi\" now\"\nINDEX 01 00:00:00\n",
         "a quote character inside a text in line 3"},
        {head + "INDEX 01 00:05:00\nTRACK 02 AUDIO\nINDEX 01 00:04:00\n",
         "a time going backwards in line 5"},
        {head + "TITLE \"x\"\nTRACK 02 AUDIO\nINDEX 01 00:04:00\n",
         "the track in line 2 has no INDEX 01"},
        {hundred, "it lists more than 99 tracks"},
        {"FILE \"gone.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", "'gone.wav' was not found"},
        {"TITLE \"x\"\n", "it lists no tracks"},
        {"TRACK 01 AUDIO\nINDEX 01 00:00:00\n", "the track in line 1 has no FILE"},
    };
    for (const auto& [text, cause] : cases) {
        const CueSheet sheet = CueSheet::Parse(text, folder / "bad.cue");
        EXPECT_TRUE(sheet.Tracks().empty()) << cause;
        EXPECT_EQ(sheet.ErrorLine(),
                  "Unable to read from '" + folder / "bad.cue" + "': " + cause + ".");
    }
    Shell("truncate -s 50M " + Quote(folder / "huge.cue"));
    EXPECT_EQ(CueSheet::Read(folder / "huge.cue").Cause(), "it is larger than 1 MiB");
}

} // namespace
