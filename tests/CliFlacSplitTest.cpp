// FLAC albums that hold their own cue sheet, split by brindlex-convert only when asked: the
// album made by sox, its cue-sheet block by metaflac (shifted to odd sample frames by mutagen),
// lengths and samples judged by sox and ffmpeg.
#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "system/SettingsStore.h"

using namespace clitest;

namespace {
// A hidden track (INDEX 00 at the start, as metaflac wants it), and a gap before track 3.
constexpr const char* Sheet = R"(TITLE "Held Album"
FILE "album.flac" FLAC
  TRACK 01 AUDIO
    TITLE "One"
    INDEX 00 00:00:00
    INDEX 01 00:01:50
  TRACK 02 AUDIO
    TITLE "Two"
    ISRC GBAAA9900002
    INDEX 01 00:04:00
  TRACK 03 AUDIO
    TITLE "Three"
    INDEX 00 00:06:00
    INDEX 01 00:06:37
)";
constexpr int64_t Rate = 48000;
// Track 2 moved by mutagen to a sample frame no CD frame falls on.
constexpr int64_t TrackTwo = 200001;
const std::vector<int64_t> Starts = {0, 125 * 640, TrackTwo, 487 * 640, 9 * Rate};

std::string Mutagen(const std::string& flac, const std::string& change) {
    return Shell("/usr/bin/python3 -c " +
                 Quote("import sys, mutagen.flac as m; f = m.FLAC(sys.argv[1]); t = "
                       "f.cuesheet.tracks; " +
                       change + "; f.save()") +
                 " " + Quote(flac));
}

std::string Pcm(const std::string& path) {
    return Shell("ffmpeg -v error -i " + Quote(path) + " -map 0:a -f s16le - | md5sum");
}

struct HeldAlbum {
    TestFolder dir;
    std::string flac = dir / "in/album.flac";

    explicit HeldAlbum(bool block) {
        std::filesystem::create_directories(dir / "in");
        Shell("sox -q -n -r 48000 -c 2 -b 16 " + Quote(flac) + " synth 9 sine 200-3000 gain -3");
        WriteTextFile(dir / "sheet.txt", Sheet);
        Shell("metaflac --set-tag=DATE=1999 " + Quote(flac));
        if (block) {
            Shell("metaflac " + Quote("--import-cuesheet-from=" + dir / "sheet.txt") + " " +
                  Quote(flac));
            Mutagen(flac, "t[1].start_offset = " + std::to_string(TrackTwo));
        } else {
            Shell("metaflac " + Quote("--set-tag-from-file=CUESHEET=" + dir / "sheet.txt") + " " +
                  Quote(flac));
        }
    }
    Outcome Run(const std::string& out, std::vector<std::string> options) const {
        options.insert(options.end(), {"-q", "-t", "flac", "-o", dir / out, flac});
        return Convert(dir, options);
    }
};
} // namespace

TEST(CliFlacSplit, BlockSplitsIntoExactTracksOnlyWhenAsked) {
    ConfigHome config;
    const HeldAlbum album(true);
    ASSERT_EQ(album.Run("whole", {}).exitCode, 0);
    EXPECT_EQ(SortedNames(album.dir / "whole"), std::vector<std::string>{"album.flac"});
    const Outcome o = album.Run("split", {"--split"});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const std::vector<std::string> names = SortedNames(album.dir / "split");
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], "00 - Hidden Track.flac");
    std::string joined;
    for (std::size_t t = 0; t < names.size(); ++t) {
        const std::string track = album.dir / ("split/" + names[t]);
        EXPECT_EQ(SoxSamples(track), Starts[t + 1] - Starts[t]) << names[t];
        joined += " " + Quote(track);
    }
    Shell("sox" + joined + " " + Quote(album.dir / "joined.wav"));
    EXPECT_EQ(Pcm(album.dir / "joined.wav"), Pcm(album.flac));
    // The block's ISRC, and the file's own tags for the rest.
    const std::string tags =
        Shell("metaflac --export-tags-to=- " + Quote(album.dir / "split/" + names[2]));
    for (const char* tag : {"ISRC=GBAAA9900002", "TRACKNUMBER=2", "DATE=1999"}) {
        EXPECT_NE(tags.find(tag), std::string::npos) << tags;
    }
    // A .cue beside it among the inputs wins: the album is split once.
    WriteTextFile(album.dir / "in/album.cue", Sheet);
    const Outcome both = Convert(
        album.dir, {"-q", "--split", "-t", "flac", "-o", album.dir / "both", album.dir / "in"});
    ASSERT_EQ(both.exitCode, 0) << both.err;
    EXPECT_EQ(SortedNames(album.dir / "both"),
              (std::vector<std::string>{"00 - Hidden Track.flac", "01 - One.flac", "02 - Two.flac",
                                        "03 - Three.flac"}));
}

// The CUESHEET comment splits as a block does, and the window's stored choice is the default.
TEST(CliFlacSplit, CommentSheetFollowsTheStoredChoice) {
    ConfigHome config;
    const HeldAlbum album(false);
    StoreWriteNumber(1, StoreRoot::User, SettingsKey, "BrConvSplit");
    const Outcome o = album.Run("split", {});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(SortedNames(album.dir / "split"),
              (std::vector<std::string>{"00 - Hidden Track.flac", "01 - One.flac", "02 - Two.flac",
                                        "03 - Three.flac"}));
    EXPECT_EQ(SoxSamples(album.dir / "split/02 - Two.flac"), (487 - 300) * 640);
    ASSERT_EQ(album.Run("whole", {"--no-split"}).exitCode, 0);
    EXPECT_EQ(SortedNames(album.dir / "whole"), std::vector<std::string>{"album.flac"});
}

TEST(CliFlacSplit, BadBlocksNameTheirCauseAndWriteNothing) {
    ConfigHome config;
    const HeldAlbum album(true);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"t[2].start_offset = 9 * 48000", "track 3 of its cue sheet starts past the end"},
        {"t[2].start_offset = 1000", "track 3 of its cue sheet does not start after"},
        {"t[3:3] = [m.CueSheetTrack(n, 400000 + n, b\"\") for n in range(4, 101)]; "
         "[x.indexes.append(m.CueSheetTrackIndex(1, 0)) for x in t[3:100]]",
         "its cue sheet lists more than 99 tracks"},
    };
    for (const auto& [change, cause] : cases) {
        SCOPED_TRACE(cause);
        Shell("cp " + Quote(album.flac) + " " + Quote(album.dir / "bad.flac"));
        Mutagen(album.dir / "bad.flac", change);
        const Outcome o = Convert(album.dir, {"-q", "--split", "-t", "flac", "-o",
                                              album.dir / "out", album.dir / "bad.flac"});
        EXPECT_EQ(o.exitCode, 1);
        EXPECT_NE(o.err.find("Unable to read from '" + album.dir / "bad.flac" + "': " + cause),
                  std::string::npos)
            << o.err;
        EXPECT_FALSE(std::filesystem::exists(album.dir / "out") &&
                     !SortedNames(album.dir / "out").empty());
    }
}
