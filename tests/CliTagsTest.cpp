// Tags and pictures carried by brindlex-convert, checked with ffprobe, mutagen and mpg123.
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

#include "CliTestSupport.h"
#include "TagTestSupport.h"

using namespace clitest;
namespace fs = std::filesystem;

namespace {
const std::string AllFields =
    "-metadata title='Tïtle' -metadata artist=Artist -metadata album=Album "
    "-metadata album_artist='Album Artist' -metadata track=3/12 -metadata disc=1/2 "
    "-metadata date=2003 -metadata genre=Rock -metadata comment='A comment'";
const std::string Mp3Input = "-c:a libmp3lame -id3v2_version 3 " + AllFields;

bool HasLine(const std::string& text, const std::string& line) {
    std::istringstream lines(text);
    for (std::string l; std::getline(lines, l);) {
        if (l == line) {
            return true;
        }
    }
    return false;
}

void ExpectLines(const std::string& text, const std::vector<std::string>& expected) {
    for (const std::string& line : expected) {
        EXPECT_TRUE(HasLine(text, line)) << "no line '" << line << "' in\n" << text;
    }
}

// The format's tags as ffprobe reads them, "TAG:title=..." one a line.
std::string FormatTags(const std::string& path) {
    return Shell("ffprobe -v error -show_entries format_tags -of default=nw=1 " + Quote(path));
}

std::string Mutagen(const std::string& path) {
    return Shell("mutagen-inspect " + Quote(path));
}

std::string Md5(const std::string& command) {
    return Shell(command + " | md5sum");
}

std::string DecodedAudio(const std::string& path) {
    return Md5("ffmpeg -v error -i " + Quote(path) + " -map 0:a -f s16le -");
}

// The attached picture's bytes, as ffmpeg finds them.
std::string PictureBytes(const std::string& path) {
    return Md5("ffmpeg -v error -i " + Quote(path) + " -map 0:v -c copy -f image2pipe -");
}

bool SameBytes(const std::string& a, const std::string& b) {
    return ReadTextFile(a) == ReadTextFile(b);
}

bool EndsWithId3v1(const std::string& path) {
    return Shell("tail -c 128 " + Quote(path) + " | head -c 3") == "TAG";
}

bool HasScratchFiles(const std::string& folder) {
    return std::any_of(fs::directory_iterator(folder), fs::directory_iterator(), [](const auto& e) {
        return e.path().filename().string().starts_with("BRC");
    });
}

class CliTags : public ::testing::Test {
protected:
    ConfigHome config;
    TestFolder dir;

    // A PNG of width x width noise pixels.
    std::string Cover(const std::string& name, int width) {
        const std::string size = std::to_string(width) + "x" + std::to_string(width);
        Shell("ffmpeg -v error -f lavfi -i 'nullsrc=s=" + size +
              ",geq=r=random(1)*255:g=random(2)*255:b=random(3)*255' -frames:v 1 " +
              Quote(dir / name));
        return dir / name;
    }

    // A 1 s tone at 44100 Hz made by ffmpeg with options, and the cover as front picture.
    std::string Input(const std::string& name, const std::string& options,
                      const std::string& cover = "") {
        std::string command = "ffmpeg -v error -f lavfi -i sine=f=440:d=1";
        if (!cover.empty()) {
            command += " -i " + Quote(cover) +
                       " -map 0 -map 1 -c:v copy -metadata:s:v comment='Cover (front)'";
        }
        Shell(command + " " + options + " " + Quote(dir / name));
        EXPECT_TRUE(fs::exists(dir / name)) << name;
        return dir / name;
    }

    // Converts input into the folder and returns the output's path.
    std::string ConvertInto(const std::string& folder, const std::string& input,
                            const std::string& target, std::vector<std::string> more = {},
                            rlim_t fileSizeLimit = 0) {
        fs::create_directories(folder);
        std::vector<std::string> args{"--to", target, "--output-dir", folder, "--overwrite"};
        args.insert(args.end(), more.begin(), more.end());
        args.push_back(input);
        const Outcome o = Convert(dir, args, fileSizeLimit);
        EXPECT_EQ(o.exitCode, 0) << o.err;
        EXPECT_NE(o.err.find("All files have now been converted."), std::string::npos) << o.err;
        return (fs::path(folder) / fs::path(input).stem()).string() + "." + target;
    }
};

struct Trip {
    const char* input;
    std::string options; // ffmpeg's, making the input
    bool cover;
    const char* target;
    std::vector<std::string> ffprobe;
    std::vector<std::string> mutagen;
    bool id3v1;
};

const std::vector<std::string> Id3Fields = {
    "TIT2=Tïtle", "TPE1=Artist", "TALB=Album",          "TPE2=Album Artist", "TRCK=3/12",
    "TPOS=1/2",   "TDRC=2003",   "COMM==XXX=A comment", "TCON=Rock"};
const std::vector<std::string> FormatFields = {
    "TAG:title=Tïtle",       "TAG:artist=Artist",
    "TAG:album=Album",       "TAG:album_artist=Album Artist",
    "TAG:track=3/12",        "TAG:disc=1/2",
    "TAG:comment=A comment", "TAG:genre=Rock"};
} // namespace

TEST_F(CliTags, EachTripCarriesTheTagsAndCoverAndLeavesTheAudioAlone) {
    const std::string cover = Cover("cover.png", 48);
    std::vector<std::string> formatAndYear = FormatFields;
    formatAndYear.push_back("TAG:date=2003");
    const std::vector<Trip> trips = {
        {"a.mp3",
         Mp3Input,
         true,
         "wma",
         [&] {
             auto lines = FormatFields;
             lines.push_back("TAG:WM/Year=2003"); // how ffprobe names the ASF year
             return lines;
         }(),
         {"Title=Tïtle", "Author=Artist", "WM/AlbumTitle=Album", "WM/AlbumArtist=Album Artist",
          "WM/TrackNumber=3/12", "WM/PartOfSet=1/2", "WM/Year=2003", "WM/Genre=Rock",
          "Description=A comment"},
         false},
        {"b.wma", "-c:a wmav2 " + AllFields, false, "mp3", formatAndYear, Id3Fields, false},
        {"c.mp3", Mp3Input + " -write_id3v1 1", true, "mp3", formatAndYear, Id3Fields, true},
        // ffmpeg writes an INFO list, which has no album artist and no disc number.
        {"d.wav",
         AllFields,
         false,
         "mp3",
         {"TAG:title=Tïtle", "TAG:artist=Artist", "TAG:album=Album", "TAG:track=3/12",
          "TAG:date=2003", "TAG:genre=Rock", "TAG:comment=A comment"},
         {"TIT2=Tïtle", "TPE1=Artist", "TALB=Album", "TRCK=3/12", "TDRC=2003", "TCON=Rock",
          "COMM==XXX=A comment"},
         false},
        // ffprobe reads a WAVE file's INFO list, mutagen its ID3 chunk.
        {"e.mp3",
         Mp3Input,
         true,
         "wav",
         {"TAG:title=Tïtle", "TAG:artist=Artist", "TAG:album=Album", "TAG:track=3/12",
          "TAG:date=2003", "TAG:genre=Rock", "TAG:comment=A comment"},
         Id3Fields,
         false},
    };
    for (const Trip& trip : trips) {
        SCOPED_TRACE(std::string(trip.input) + " to " + trip.target);
        const std::string in = Input(trip.input, trip.options, trip.cover ? cover : "");
        // The tagged output replaces an old file.
        fs::create_directories(dir / "tagged");
        WriteTextFile(dir / ("tagged/" + fs::path(in).stem().string() + "." + trip.target), "old");
        const std::string tagged = ConvertInto(dir / "tagged", in, trip.target);
        const std::string plain = ConvertInto(dir / "plain", in, trip.target, {"--no-tags"});

        ExpectLines(FormatTags(tagged), trip.ffprobe);
        ExpectLines(Mutagen(tagged), trip.mutagen);
        EXPECT_EQ(FormatTags(plain).find("TAG:title"), std::string::npos);
        EXPECT_EQ(DecodedAudio(tagged), DecodedAudio(plain));
        if (trip.cover) {
            EXPECT_EQ(PictureBytes(tagged), Md5("cat " + Quote(cover)));
        }
        if (std::string(trip.target) == "mp3") {
            EXPECT_EQ(Shell("head -c 4 " + Quote(tagged) + " | od -An -c"), "   I   D   3 004");
            EXPECT_EQ(EndsWithId3v1(tagged), trip.id3v1);
            // The Info frame still comes first after the tag: mpg123 trims to the exact length
            // (of a WMA input, what its decoder gives, as FFmpeg's own gives it too).
            const std::string decoded = Shell("mpg123 -q -s " + Quote(tagged) + " | wc -c");
            EXPECT_EQ(decoded, Shell("mpg123 -q -s " + Quote(plain) + " | wc -c"));
            if (!std::string(trip.input).ends_with(".wma")) {
                EXPECT_EQ(decoded, std::to_string(44100 * 4));
            }
            // Without its tags the file is the untagged output, byte for byte.
            Shell("mid3v2 --delete-all " + Quote(tagged));
            EXPECT_TRUE(SameBytes(tagged, plain));
        }
        EXPECT_FALSE(HasScratchFiles(dir / "tagged"));
    }
}

TEST_F(CliTags, Mp3ToWmaAndBackKeepsEveryFieldAndALargeCover) {
    // Over 64 KiB, so ASF keeps it in its metadata library rather than with the other fields.
    const std::string cover = Cover("large.png", 300);
    ASSERT_GT(fs::file_size(cover), 64u * 1024);
    const std::string in = Input("song.mp3", Mp3Input, cover);
    const std::string wma = ConvertInto(dir / "wma", in, "wma");
    const std::string back = ConvertInto(dir / "back", wma, "mp3");

    const auto fields = [](const std::string& path) {
        std::istringstream lines(FormatTags(path));
        std::vector<std::string> kept;
        for (std::string line; std::getline(lines, line);) {
            if (!line.starts_with("TAG:encoder=")) {
                kept.push_back(line);
            }
        }
        std::sort(kept.begin(), kept.end());
        return kept;
    };
    EXPECT_EQ(fields(back), fields(in));
    EXPECT_EQ(fields(back).size(), 9u);
    ExpectLines(Mutagen(back), Id3Fields);
    EXPECT_EQ(PictureBytes(back), Md5("cat " + Quote(cover)));
}

TEST_F(CliTags, AnUntaggedWaveStaysByteForByteWhatItWas) {
    const std::string in = dir / "tone.wav";
    Shell("sox -q -n -r 44100 -c 2 -b 16 " + Quote(in) + " synth 1 sine 440");
    const std::string tagged =
        ConvertInto(dir / "tagged", in, "wav", {"--wave-format", "pcm:2:44100:16"});
    const std::string plain =
        ConvertInto(dir / "plain", in, "wav", {"--wave-format", "pcm:2:44100:16", "--no-tags"});
    EXPECT_TRUE(SameBytes(tagged, plain));
}

TEST_F(CliTags, TagsThatCannotBeCopiedNeverFailTheFile) {
    // A 20 MB picture is left behind, the text still comes along.
    const std::string huge = Input("huge.mp3", "-c:a libmp3lame -metadata title=Huge");
    Shell("head -c 20M /dev/zero >" + Quote(dir / "huge.png"));
    Shell("mid3v2 -p " + Quote(dir / "huge.png") + ":Huge:3:image/png " + Quote(huge));
    ExpectLines(Mutagen(huge), {"APIC=cover front, Huge (image/png, 20971520 bytes)"});
    const std::string hugeOut = Mutagen(ConvertInto(dir / "huge", huge, "mp3"));
    ExpectLines(hugeOut, {"TIT2=Huge"});
    EXPECT_EQ(hugeOut.find("APIC"), std::string::npos) << hugeOut;

    // A frame whose size runs far past the tag.
    const std::string damaged = Input("damaged.mp3", Mp3Input);
    const std::string at = Shell("grep -obUa TALB " + Quote(damaged) + " | head -1 | cut -d: -f1");
    ASSERT_FALSE(at.empty());
    Shell("printf '\\177\\177\\177\\177' | dd of=" + Quote(damaged) +
          " bs=1 seek=" + std::to_string(std::stol(at) + 4) + " conv=notrunc status=none");
    const std::string damagedOut = ConvertInto(dir / "damaged", damaged, "mp3");
    ExpectLines(Mutagen(damagedOut), {"TIT2=Tïtle", "TPE1=Artist"}); // the frames before it
    EXPECT_EQ(Shell("mpg123 -q -s " + Quote(damagedOut) + " | wc -c"), std::to_string(44100 * 4));

    // A tagged copy that outgrows the file size limit: the output stays as it was, untagged.
    const std::string big = Input("big.mp3", Mp3Input, Cover("big.png", 300));
    const std::string plain = ConvertInto(dir / "plain", big, "mp3", {"--no-tags"});
    const std::string limited = ConvertInto(dir / "limited", big, "mp3", {}, 100 * 1024);
    EXPECT_TRUE(SameBytes(limited, plain));
    EXPECT_FALSE(HasScratchFiles(dir / "limited"));
}

TEST_F(CliTags, ALongOutputIsTaggedWithoutAScratchFile) {
    // Over 8 MiB of output, once tagged on a copy beside it.
    const std::string tone = dir / "tone.wav";
    Shell("sox -q -n -r 44100 -c 2 -b 16 " + Quote(tone) + " synth 60 sine 440");
    const std::string in = dir / "long.wav";
    Shell("ffmpeg -v error -i " + Quote(tone) + " -c copy -metadata title=Long " + Quote(in));
    const std::vector<std::string> format = {"--wave-format", "pcm:2:44100:16"};
    const std::string tagged = ConvertInto(dir / "tagged", in, "wav", format);
    std::vector<std::string> noTags = format;
    noTags.push_back("--no-tags");
    const std::string plain = ConvertInto(dir / "plain", in, "wav", noTags);
    ASSERT_GT(fs::file_size(plain), 8u << 20);
    ExpectLines(FormatTags(tagged), {"TAG:title=Long"});
    ExpectLines(Mutagen(tagged), {"TIT2=Long"});
    EXPECT_EQ(SoxRaw16(tagged), SoxRaw16(plain));

    // No room for the tags: the output stays as it was.
    const std::string limited =
        ConvertInto(dir / "limited", in, "wav", format, fs::file_size(plain) + 64);
    EXPECT_TRUE(SameBytes(limited, plain));
    EXPECT_FALSE(HasScratchFiles(dir / "limited"));
}

TEST_F(CliTags, ReencodingInPlaceKeepsTheTags) {
    // The output is the input itself: its tags are read before the new file takes its place.
    const std::string song = Input("03 Sunrise Song.mp3", "-metadata title=Sunrise -b:a 192k");
    const Outcome o = Convert(dir, {"--to", "mp3", "--bitrate", "128", "--overwrite", song});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    ExpectLines(FormatTags(song), {"TAG:title=Sunrise"});
}

TEST_F(CliTags, TwoAtOnceCopyTagsUnlessToldNotTo) {
    const std::vector<std::string> inputs = {Input("a.mp3", "-metadata title=First"),
                                             Input("b.wav", "-metadata title=Second")};
    for (const bool tags : {true, false}) {
        const std::string out = dir / (tags ? "tagged" : "plain");
        std::vector<std::string> args = {"-j", "2", "--to", "mp3", "-o", out};
        if (!tags) {
            args.push_back("--no-tags");
        }
        args.insert(args.end(), inputs.begin(), inputs.end());
        const Outcome o = Convert(dir, args);
        ASSERT_EQ(o.exitCode, 0) << o.err;
        EXPECT_EQ(HasLine(FormatTags(out + "/a.mp3"), "TAG:title=First"), tags);
        EXPECT_EQ(HasLine(FormatTags(out + "/b.mp3"), "TAG:title=Second"), tags);
    }
}

TEST_F(CliTags, EveryPictureGoesAlongWithItsTypeMimeTypeAndDescription) {
    // In the input's order, which is neither that of their types nor that of their sizes.
    std::vector<tagtest::PictureFile> pictures;
    const std::string song = tagtest::SongWithThreePictures(dir / "in", pictures);
    const std::string expected = tagtest::PictureLines(pictures);
    ASSERT_EQ(tagtest::Pictures(song), expected);
    const std::map<std::string, std::string> titles = {
        {"mp3", "TIT2"}, {"wma", "Title"}, {"wav", "TIT2"}, {"flac", "TITLE"}};
    for (const auto& [target, title] : titles) {
        SCOPED_TRACE(target);
        const std::string out = ConvertInto(dir / target, song, target);
        EXPECT_EQ(tagtest::Pictures(out), expected);
        ExpectLines(Mutagen(out), {title + "=Sunrise Song"});
    }
    // On from WMA, which lists its first picture beside the other fields and the rest apart.
    EXPECT_EQ(tagtest::Pictures(ConvertInto(dir / "wma-flac", dir / "wma/song.wma", "flac")),
              expected);
    const auto size = [&](size_t i) { return std::to_string(fs::file_size(pictures[i].path)); };
    ExpectLines(Mutagen(dir / "mp3/song.mp3"),
                {"APIC=other,  (image/jpeg, " + size(0) + " bytes)",
                 "APIC=cover front, Front (image/png, " + size(1) + " bytes)",
                 "APIC=cover back, Bäck side (image/png, " + size(2) + " bytes)"});

    // In place: the pictures are read before the new file takes the input's place.
    const Outcome o = Convert(dir, {"--to", "mp3", "--overwrite", song});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(tagtest::Pictures(song), expected);
}
