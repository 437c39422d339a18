// Albums kept as one file with a cue sheet, split by brindlex-convert into a file per track:
// the album made by sox and tagged by metaflac, lengths and samples judged by sox and ffmpeg,
// tags read by mutagen.
#include <cmath>
#include <gtest/gtest.h>

#include "CliTestSupport.h"

using namespace clitest;

namespace {
constexpr int64_t Rate = 44100;
// A hidden track before track 1 (1.67 s), and a gap (INDEX 00) before track 3 that stays at the
// end of track 2.
constexpr const char* Sheet = R"(REM GENRE "Sheet Genre"
PERFORMER "The Band"
TITLE "Long Album"
FILE "album.wav" WAVE
  TRACK 01 AUDIO
    TITLE "One"
    INDEX 01 00:01:50
  TRACK 02 AUDIO
    TITLE "Two"
    PERFORMER "Guest"
    INDEX 01 00:04:00
  TRACK 03 AUDIO
    TITLE "Three"
    INDEX 00 00:06:00
    INDEX 01 00:06:37
)";
const std::vector<std::string> Names = {"00 - Hidden Track", "01 - One", "02 - Two", "03 - Three"};
const std::vector<int64_t> Starts = {0, 73500, 176400, 286356, 9 * Rate};

struct Album {
    TestFolder dir;
    std::string flac = dir / "in/album.flac";
    std::string sheet = dir / "in/album.cue";

    Album() {
        std::filesystem::create_directories(dir / "in");
        Shell("sox -q -n -r 44100 -c 2 -b 16 " + Quote(flac) + " synth 9 sine 200-3000 gain -3");
        // The file's own tags fill what the sheet lacks; its title is the album's, not a track's.
        Shell("metaflac --set-tag=DATE=1999 --set-tag=TITLE=Whole " + Quote(flac));
        WriteTextFile(sheet, Sheet);
    }
    std::string Out(const std::string& folder, std::size_t track, const std::string& ext) const {
        return dir / (folder + "/" + Names[track] + ext);
    }
};

std::string Pcm(const std::string& path) {
    return Shell("ffmpeg -v error -i " + Quote(path) + " -map 0:a -f s16le - | md5sum");
}

long FfmpegFrames(const std::string& path) {
    return std::stol(Shell("ffmpeg -v error -i " + Quote(path) + " -f s16le -ac 1 - | wc -c")) / 2;
}

// "TITLE|TRACKNUMBER|ARTIST|ALBUM|ALBUMARTIST|DATE|GENRE" as mutagen reads them.
std::string Tags(const std::string& path) {
    return Shell("/usr/bin/python3 -c " +
                 Quote("import sys, mutagen; f = mutagen.File(sys.argv[1]); print(\"|\".join("
                       "(f.get(k) or [\"\"])[0] for k in (\"title\", \"tracknumber\", "
                       "\"artist\", \"album\", \"albumartist\", \"date\", \"genre\")))") +
                 " " + Quote(path));
}
} // namespace

TEST(CliCueSplit, LosslessTracksAreExactAndRejoinTheAlbum) {
    ConfigHome config;
    const Album album;
    for (const char* target : {"flac", "wav"}) {
        SCOPED_TRACE(target);
        const std::string ext = std::string(".") + target;
        const Outcome o = Convert(
            album.dir, {"-q", "-j", "2", "-t", target, "-o", album.dir / target, album.dir / "in"});
        ASSERT_EQ(o.exitCode, 0) << o.err;
        // The album's audio file is converted as its tracks only.
        EXPECT_EQ(SortedNames(album.dir / target).size(), Names.size());
        std::string joined;
        for (std::size_t t = 0; t < Names.size(); ++t) {
            EXPECT_EQ(SoxSamples(album.Out(target, t, ext)), Starts[t + 1] - Starts[t]) << t;
            joined += " " + Quote(album.Out(target, t, ext));
        }
        Shell("sox" + joined + " " + Quote(album.dir / "joined.wav"));
        EXPECT_EQ(Pcm(album.dir / "joined.wav"), Pcm(album.flac));
    }
    EXPECT_EQ(Tags(album.Out("flac", 0, ".flac")),
              "Hidden Track|0|The Band|Long Album|The Band|1999|Sheet Genre");
    EXPECT_EQ(Tags(album.Out("flac", 2, ".flac")),
              "Two|2|Guest|Long Album|The Band|1999|Sheet Genre");
}

TEST(CliCueSplit, LossyTracksDecodeToTheirLengthAndFollowTheNamingPattern) {
    ConfigHome config;
    const Album album;
    const Outcome o = Convert(album.dir, {"-q", "-t", "opus", "-o", album.dir / "opus", "--name",
                                          "{album}/{track} {title}", album.sheet});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const std::vector<std::string> names = {"Hidden Track", "1 One", "2 Two", "3 Three"};
    for (std::size_t t = 0; t < names.size(); ++t) {
        const std::string out = album.dir / ("opus/Long Album/" + names[t] + ".opus");
        const long expected = std::lround(double(Starts[t + 1] - Starts[t]) * 48000 / Rate);
        EXPECT_LE(std::labs(FfmpegFrames(out) - expected), 1) << out;
    }
}

TEST(CliCueSplit, SheetsThatCannotBeSplitNameTheirCauseAndWriteNothing) {
    ConfigHome config;
    const Album album;
    const std::string bad = album.dir / "in/bad.cue";
    WriteTextFile(bad,
                  std::string(Sheet).replace(std::string(Sheet).find("INDEX 01 00:04"), 5, "INDX"));
    const std::string late = album.dir / "in/late.cue";
    WriteTextFile(late, testtools::ReplaceAll(Sheet, "00:06:37", "00:12:00"));
    for (const std::string& sheet : {bad, late}) {
        const Outcome o = Convert(album.dir, {"-q", "-t", "flac", "-o", album.dir / "out", sheet});
        EXPECT_EQ(o.exitCode, 1);
        EXPECT_NE(o.err.find("Unable to read from '" + sheet + "': "), std::string::npos) << o.err;
        EXPECT_FALSE(std::filesystem::exists(album.dir / "out") &&
                     !SortedNames(album.dir / "out").empty());
    }
    EXPECT_NE(
        Convert(album.dir, {"-q", "-t", "flac", "-o", album.dir / "out", bad}).err.find("line 11"),
        std::string::npos);
    EXPECT_NE(Convert(album.dir, {"-q", "-t", "flac", "-o", album.dir / "out", late})
                  .err.find("track 3 lies past the end"),
              std::string::npos);
}

TEST(CliCueSplit, EachTrackIsReadFromItsOwnPlaceInTheAlbum) {
    ConfigHome config;
    const Album album;
    std::filesystem::create_directories(album.dir / "wave");
    Shell("sox " + Quote(album.flac) + " " + Quote(album.dir / "wave/album.wav"));
    WriteTextFile(album.dir / "wave/album.cue", Sheet);
    // Damage inside the hidden track fails that track alone: the others never decode it.
    Shell("dd if=/dev/zero of=" + Quote(album.flac) +
          " bs=1 seek=20000 count=256 conv=notrunc status=none");
    const Outcome damaged =
        Convert(album.dir, {"-q", "-t", "wav", "-o", album.dir / "flac", album.sheet});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_NE(damaged.err.find("Unable to read from '" + album.flac + "'"), std::string::npos)
        << damaged.err;
    const Outcome whole = Convert(
        album.dir, {"-q", "-t", "wav", "-o", album.dir / "wave", album.dir / "wave/album.cue"});
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    for (std::size_t t = 1; t < Names.size(); ++t) {
        EXPECT_EQ(Pcm(album.Out("flac", t, ".wav")), Pcm(album.Out("wave", t, ".wav"))) << t;
    }
    std::string joined;
    for (std::size_t t = 0; t < Names.size(); ++t) {
        joined += " " + Quote(album.Out("wave", t, ".wav"));
    }
    Shell("sox" + joined + " " + Quote(album.dir / "joined.wav"));
    EXPECT_EQ(Pcm(album.dir / "joined.wav"), Pcm(album.dir / "wave/album.wav"));
}

TEST(CliCueSplit, EveryOtherTargetGetsEachTrackAtItsLengthWithItsTitle) {
    ConfigHome config;
    const Album album;
    struct Target {
        const char* key;
        const char* extension;
    };
    for (const Target target : {Target{"mp3", ".mp3"}, Target{"wma", ".wma"}, Target{"ogg", ".ogg"},
                                Target{"m4a", ".m4a"}, Target{"alac", ".m4a"}}) {
        SCOPED_TRACE(target.key);
        const Outcome o = Convert(album.dir, {"-q", "-j", "2", "-t", target.key, "-o",
                                              album.dir / target.key, album.sheet});
        ASSERT_EQ(o.exitCode, 0) << o.err;
        for (std::size_t t = 0; t < Names.size(); ++t) {
            const std::string out = album.Out(target.key, t, target.extension);
            const long expected = long(Starts[t + 1] - Starts[t]);
            // FFmpeg 5.1 ends Ogg Vorbis 128 frames early: libvorbisfile (sox) counts it.
            const long frames =
                std::string(target.key) == "ogg"
                    ? std::stol(Shell("sox " + Quote(out) + " -b 16 -c 1 -t raw - | wc -c")) / 2
                    : FfmpegFrames(out);
            if (std::string(target.key) == "wma") {
                // WMA records no length: its last block of 2,048 frames ends in silence.
                EXPECT_GE(frames, expected) << out;
                EXPECT_LT(frames, expected + 2048) << out;
            } else {
                EXPECT_EQ(frames, expected) << out;
            }
            EXPECT_EQ(Probe(out, "codec_name") == "alac", std::string(target.key) == "alac");
            EXPECT_EQ(Shell("ffprobe -v error -show_entries format_tags=title:stream_tags=title "
                            "-of default=nw=1:nk=1 " +
                            Quote(out)),
                      Names[t].substr(5))
                << out;
        }
    }
}
