// Free-form fields and track and disc numbers carried by brindlex-convert, on inputs tagged by
// flac's tools, ffmpeg and mutagen, and read back by mutagen.
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

#include "CliTestSupport.h"

using namespace clitest;
namespace fs = std::filesystem;

namespace {
// Each free-form field of the files, "file|name=value|value" one a line in sorted order: Vorbis
// comments, ID3 "TXXX" frames, iTunes "----" atoms and ASF text attributes (with the content
// description's, which TagLib writes empty where it has none), under the names they are stored
// under. What an output's own writer puts there (the MP4 gapless atom, the ASF encoder) and empty
// texts are not listed.
std::string FreeFields(const std::vector<std::string>& paths) {
    static const char* const Script = R"(
import sys, mutagen, mutagen.asf, mutagen.id3, mutagen.mp4
lines = []
for path in sys.argv[1:]:
    f = mutagen.File(path)
    fields = {}
    def put(name, value):
        fields.setdefault(name, []).append(str(value))
    if isinstance(f.tags, mutagen.id3.ID3):
        for frame in f.tags.getall("TXXX"):
            for value in frame.text:
                put(frame.desc, value)
    elif isinstance(f, mutagen.mp4.MP4):
        for key, values in f.tags.items():
            if key.startswith("----:com.apple.iTunes:") and not key.endswith(":iTunSMPB"):
                for value in values:
                    put(key[22:], bytes(value).decode())
    elif isinstance(f, mutagen.asf.ASF):
        for key, values in f.tags.as_dict().items():
            for value in values:
                if isinstance(value, mutagen.asf.ASFUnicodeAttribute) and str(value) and key != "WM/EncodingSettings":
                    put(key, value)
    else:
        for key, value in f.tags:
            put(key, value)
    lines += ["%s|%s=%s" % (path.rsplit("/", 1)[1], k, "|".join(v)) for k, v in fields.items()]
print("\n".join(sorted(lines)))
)";
    std::string command = "/usr/bin/python3 -c " + Quote(Script);
    for (const std::string& path : paths) {
        command += " " + Quote(path);
    }
    return Shell(command);
}

// The track and disc fields of each file, one line a file: "NAME=value" in sorted order, under
// the names and in the form the format stores them (Vorbis comment, ID3v2 frames, MP4 atoms, ASF
// attributes).
std::string NumberFields(const std::vector<std::string>& paths) {
    static const char* const Script = R"(
import re, sys, mutagen
for path in sys.argv[1:]:
    t = mutagen.File(path).tags
    pairs = list(t) if isinstance(t, list) else [
        (k, v) for k, vs in t.items() for v in (vs if isinstance(vs, list) else [vs])]
    print(" ".join(sorted("%s=%s" % (k, v) for k, v in pairs
                          if re.search("(?i)track|disc|disk|trkn|trck|tpos|partofset", k)))))";
    std::string command = "/usr/bin/python3 -c " + Quote(Script);
    for (const std::string& path : paths) {
        command += " " + Quote(path);
    }
    return Shell(command);
}

std::string Lines(const std::set<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "" : "\n") + line;
    }
    return text;
}

class CliFreeFields : public ::testing::Test {
protected:
    ConfigHome config;
    TestFolder dir;

    std::string tone = SoxTone(dir / "tone.wav", 0.3);

    // A file that ffmpeg encodes from the tone with options, and mutagen then tags with script
    // (Python, the file opened as f).
    std::string Made(const std::string& name, const std::string& options,
                     const std::string& script) {
        const std::string path = dir / name;
        Shell("ffmpeg -v error -i " + Quote(tone) + " " + options + " " + Quote(path));
        Shell("/usr/bin/python3 -c " +
              Quote("import sys, mutagen, mutagen.id3, mutagen.mp4\nf = mutagen.File(sys.argv[1])" +
                    script + "\nf.save()") +
              " " + Quote(path));
        EXPECT_TRUE(fs::exists(path)) << name;
        return path;
    }

    // A FLAC file made by flac and tagged by metaflac with tags (its --set-tag options).
    std::string Flac(const std::string& name, const std::string& tags) {
        const std::string path = dir / name;
        Shell("flac -s " + Quote(tone) + " -o " + Quote(path) + " && metaflac " + tags + " " +
              Quote(path));
        return path;
    }

    void ConvertAll(const std::string& target, const std::string& folder,
                    const std::vector<std::string>& inputs) {
        std::vector<std::string> args = {"-q", "-t", target, "-o", folder};
        args.insert(args.end(), inputs.begin(), inputs.end());
        const Outcome o = Convert(dir, args);
        EXPECT_EQ(o.exitCode, 0) << o.err;
    }
};

struct Target {
    const char* name;
    const char* extension;
    bool xiph;         // names in upper case
    const char* title; // the title, where it is listed among the free-form fields
};
} // namespace

TEST_F(CliFreeFields, EachFormatCarriesTheOthersFieldsUnderTheirNames) {
    // Two values of a field in mixed case, a ReplayGain value, the title, and a field naming the
    // program that encoded the input (FLAC's ENCODER, ffmpeg's WM/EncodingSettings in WMA, the
    // MP4 gapless atom): that one stays behind.
    const std::vector<std::string> inputs = {
        Flac("flac.flac", "--set-tag=TITLE=Free --set-tag=Mood=calm --set-tag=Mood=warm "
                          "--set-tag='REPLAYGAIN_TRACK_GAIN=-6.50 dB' --set-tag=ENCODER=Other"),
        Made("mp3.mp3", "-c:a libmp3lame -metadata title=Free", R"(
T = mutagen.id3.TXXX
f.tags.add(T(encoding=3, desc="Mood", text=["calm", "warm"]))
f.tags.add(T(encoding=3, desc="REPLAYGAIN_TRACK_GAIN", text=["-6.50 dB"])))"),
        Made("m4a.m4a", "-c:a aac -metadata title=Free", R"(
F = mutagen.mp4.MP4FreeForm
f["----:com.apple.iTunes:Mood"] = [F(b"calm"), F(b"warm")]
f["----:com.apple.iTunes:REPLAYGAIN_TRACK_GAIN"] = [F(b"-6.50 dB")]
f["----:com.apple.iTunes:iTunSMPB"] = [F(b" 00000000 00000840")])"),
        Made("wma.wma", "-c:a wmav2 -metadata title=Free", R"(
f["Mood"] = ["calm", "warm"]
f["REPLAYGAIN_TRACK_GAIN"] = ["-6.50 dB"])")};
    const Target targets[] = {{"flac", "flac", true, "TITLE"}, {"opus", "opus", true, "TITLE"},
                              {"mp3", "mp3", false, nullptr},  {"wav", "wav", false, nullptr},
                              {"m4a", "m4a", false, nullptr},  {"wma", "wma", false, "Title"}};
    for (const Target& target : targets) {
        SCOPED_TRACE(target.name);
        const std::string out = dir / target.name;
        ConvertAll(target.name, out, inputs);
        std::set<std::string> expected;
        std::vector<std::string> outputs;
        for (const std::string& input : inputs) {
            const std::string stem = fs::path(input).stem();
            const std::string file = stem + "." + target.extension;
            // Vorbis comments hold their names in upper case, wherever they come from or go.
            const bool upper = target.xiph || stem == "flac";
            expected.insert(file + (upper ? "|MOOD" : "|Mood") + "=calm|warm");
            // Opus keeps a gain as RFC 7845's R128 gain: 5 dB less, in 1/256 dB.
            const bool opus = target.extension == std::string("opus");
            expected.insert(file +
                            (opus ? "|R128_TRACK_GAIN=-2944" : "|REPLAYGAIN_TRACK_GAIN=-6.50 dB"));
            if (target.title) {
                expected.insert(file + "|" + target.title + "=Free");
            }
            outputs.push_back(out + "/" + file);
        }
        EXPECT_EQ(FreeFields(outputs), Lines(expected));
        if (target.name == std::string("m4a")) { // the gapless atom is the output's own
            EXPECT_EQ(Shell("grep -c 00000840 " + Quote(out + "/m4a.m4a")), "0");
        }
    }
}

TEST_F(CliFreeFields, TrackAndDiscNumbersGoAsTheyAreOrNotAtAll) {
    // MP4 holds them as 16-bit unsigned numbers; a text that is no number, or one past 65535,
    // has no place there.
    const std::string m4a =
        Made("high.m4a", "-c:a aac", "\nf[\"trkn\"] = [(65535, 0)]\nf[\"disk\"] = [(7, 65535)]");
    ConvertAll("mp3", dir / "out", {m4a});
    ConvertAll("flac", dir / "out", {m4a});
    const std::string odd =
        Flac("odd.flac", "--set-tag=TRACKNUMBER=abc --set-tag=DISCNUMBER=2/70000");
    ConvertAll("m4a", dir / "out", {m4a, odd});
    static const char* const Script = R"(
import sys, mutagen
for path in sys.argv[1:]:
    t = mutagen.File(path).tags
    keys = {"mp3": ("TRCK", "TPOS"), "m4a": ("trkn", "disk")}.get(path[-3:], ("TRACKNUMBER", "DISCNUMBER"))
    print(" ".join(str(t.get(k)) for k in keys)))";
    std::string command = "/usr/bin/python3 -c " + Quote(Script);
    for (const char* name : {"high.mp3", "high.flac", "high.m4a", "odd.m4a"}) {
        command += " " + Quote(dir / ("out/" + std::string(name)));
    }
    const std::string numbers = Shell(command);
    EXPECT_EQ(numbers, "65535 7/65535\n"
                       "['65535'] ['7']\n"
                       "[(65535, 0)] [(7, 65535)]\n"
                       "None [(2, 0)]");

    // What is no number, or a number 0, is left out wherever it stands.
    const std::vector<std::string> bad = {
        Flac("bad.flac", "--set-tag=TRACKNUMBER=x/10 --set-tag=DISCNUMBER=1/0"),
        Flac("worse.flac", "--set-tag=TRACKNUMBER=99999 --set-tag=TRACKTOTAL= "
                           "--set-tag=DISCNUMBER=0 --set-tag=DISCTOTAL=3")};
    for (const char* target : {"flac", "mp3", "m4a"}) {
        ConvertAll(target, dir / "bad", bad);
    }
    std::vector<std::string> outputs;
    for (const char* name :
         {"bad.flac", "worse.flac", "bad.mp3", "worse.mp3", "worse.m4a", "bad.m4a"}) {
        outputs.push_back(dir / ("bad/" + std::string(name)));
    }
    EXPECT_EQ(NumberFields(outputs), "DISCNUMBER=1 TRACKTOTAL=10\n"
                                     "DISCTOTAL=3 TRACKNUMBER=99999\n"
                                     "TPOS=1\n"
                                     "TRCK=99999\n"
                                     "\n"
                                     "disk=(1, 0)");
}

TEST_F(CliFreeFields, TrackAndDiscTotalsGoToEveryFormatInItsOwnForm) {
    // Each input holds track 1 of 10 on disc 2 of 3, or track 3 of 12 on disc 1 of 2, in its
    // format's own form; WMA's total of tracks as the "TotalTracks" attribute taggers add.
    struct Input {
        std::string path;
        const char* numbers[4]; // track, total, disc, total
    };
    const Input inputs[] = {
        {Flac("totals.flac", "--set-tag=TRACKNUMBER=1 --set-tag=TRACKTOTAL=10 "
                             "--set-tag=DISCNUMBER=2 --set-tag=DISCTOTAL=3"),
         {"1", "10", "2", "3"}},
        {Flac("other-totals.flac", "--set-tag=TRACKNUMBER=1 --set-tag=TOTALTRACKS=10 "
                                   "--set-tag=DISCNUMBER=2 --set-tag=TOTALDISCS=3"),
         {"1", "10", "2", "3"}},
        {Made("id3.mp3", "-c:a libmp3lame -metadata track=3/12 -metadata disc=1/2", ""),
         {"3", "12", "1", "2"}},
        {Made("mp4.m4a", "-c:a aac", "\nf[\"trkn\"] = [(3, 12)]\nf[\"disk\"] = [(1, 2)]"),
         {"3", "12", "1", "2"}},
        {Made("asf.wma", "-c:a wmav2 -metadata track=3",
              "\nf[\"TotalTracks\"] = \"12\""
              "\nf[\"WM/PartOfSet\"] = \"1/2\""),
         {"3", "12", "1", "2"}}};
    // What a target holds, from the four numbers.
    using Form = std::string (*)(const char* const n[4]);
    const auto xiph = [](const char* const n[4]) {
        return std::string("DISCNUMBER=") + n[2] + " DISCTOTAL=" + n[3] + " TRACKNUMBER=" + n[0] +
               " TRACKTOTAL=" + n[1];
    };
    const auto id3 = [](const char* const n[4]) {
        return std::string("TPOS=") + n[2] + "/" + n[3] + " TRCK=" + n[0] + "/" + n[1];
    };
    const auto mp4 = [](const char* const n[4]) {
        return std::string("disk=(") + n[2] + ", " + n[3] + ") trkn=(" + n[0] + ", " + n[1] + ")";
    };
    const auto asf = [](const char* const n[4]) {
        return std::string("WM/PartOfSet=") + n[2] + "/" + n[3] + " WM/TrackNumber=" + n[0] + "/" +
               n[1];
    };
    const std::vector<std::tuple<const char*, const char*, Form>> targets = {
        {"wav", "wav", id3},    {"mp3", "mp3", id3},  {"wma", "wma", asf}, {"flac", "flac", xiph},
        {"opus", "opus", xiph}, {"ogg", "ogg", xiph}, {"m4a", "m4a", mp4}, {"alac", "m4a", mp4}};
    std::vector<std::string> paths;
    for (const Input& input : inputs) {
        paths.push_back(input.path);
    }
    for (const auto& [target, extension, form] : targets) {
        SCOPED_TRACE(target);
        const std::string out = dir / target;
        ConvertAll(target, out, paths);
        std::vector<std::string> outputs;
        std::string expected;
        for (const Input& input : inputs) {
            outputs.push_back(out + "/" + fs::path(input.path).stem().string() + "." + extension);
            expected += (expected.empty() ? "" : "\n") + form(input.numbers);
        }
        EXPECT_EQ(NumberFields(outputs), expected);
    }
    // A WAVE file's INFO list holds the track as ID3 does.
    EXPECT_EQ(Shell("ffprobe -v error -show_entries format_tags=track -of default=nw=1:nk=1 " +
                    Quote(dir / "wav/totals.wav")),
              "1/10");
}
