// brindlex-convert --mirror through the program: what each change to a library makes of the next
// run (tables of before and after), a run killed halfway, a journal lost, and the refusals.
// Outputs are checked with ffprobe, ffmpeg and sox.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "CliTestSupport.h"
#include "system/SettingsStore.h"

using namespace clitest;
namespace fs = std::filesystem;

namespace {
// Output file name -> action word, from the lines of --list (the last line counts them).
std::map<std::string, std::string> Actions(const std::string& out) {
    std::map<std::string, std::string> actions;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields;
        std::istringstream parts(line);
        for (std::string field; std::getline(parts, field, '\t');) {
            fields.push_back(field);
        }
        if (fields.size() >= 3) {
            const std::string name = fs::path(fields[2]).filename().string();
            EXPECT_FALSE(actions.contains(name)) << "listed twice: " << name;
            actions[name] = fields[0];
        }
    }
    return actions;
}

std::string LastLine(const std::string& out) {
    const std::size_t end = out.find_last_not_of('\n');
    return out.substr(out.rfind('\n', end) + 1, end - out.rfind('\n', end));
}

// The audio packets' digest, as ffmpeg copies them: unchanged by tags, changed by any re-encode.
std::string AudioPackets(const std::string& path) {
    return Shell("ffmpeg -v error -i " + Quote(path) + " -map 0:a -c copy -f md5 -");
}

double Seconds(const std::string& path) {
    const std::string text = Shell(
        "ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 " + Quote(path));
    return text.empty() ? -1 : std::stod(text);
}

// One tag of an output, however its format keeps it; "" when it has none.
std::string Tag(const std::string& path, const std::string& name) {
    return Shell("ffprobe -v error -show_entries format_tags=" + name + ":stream_tags=" + name +
                 " -of default=nw=1:nk=1 " + Quote(path) + " | head -n1");
}

std::string Flac(const std::string& path, double seconds, const std::string& title) {
    SoxTone(path, seconds);
    Shell("metaflac --remove-tag=TITLE --set-tag=ARTIST=Someone --set-tag=TITLE=" + Quote(title) +
          " " + Quote(path));
    return path;
}

struct Mirror {
    TestFolder& dir;
    std::vector<std::string> extra = {};

    Outcome Run(std::vector<std::string> more = {}) const {
        std::vector<std::string> args = {"--mirror", "-t", "opus", "-o", dir / "out", dir / "lib"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.insert(args.end(), more.begin(), more.end());
        return Convert(dir, args);
    }
    std::map<std::string, std::string> List(std::vector<std::string> more = {}) const {
        more.push_back("--list");
        const Outcome listed = Run(more);
        EXPECT_EQ(listed.exitCode, 0) << listed.err;
        return Actions(listed.out);
    }
};
} // namespace

TEST(CliMirror, EachChangeToTheLibraryGivesItsActionAndTheRunLeavesTheMirrorInStep) {
    ConfigHome config;
    TestFolder dir;
    Flac(dir / "lib/a/one.flac", 1, "One");
    Flac(dir / "lib/a/two.flac", 1, "Two");
    Flac(dir / "lib/b/three.flac", 1, "Three");
    const Mirror mirror{dir, {"-j", "2"}};
    const std::string one = dir / "out/a/one.opus";
    std::string onePackets;
    std::string twoPackets;

    using ActionTable = std::map<std::string, std::string>;
    const struct Step {
        const char* change;
        std::function<void()> make;
        std::vector<std::string> options;
        ActionTable expected;
        std::function<void()> check;
    } steps[] = {
        {"first run",
         [] {},
         {},
         ActionTable{{"one.opus", "convert"}, {"two.opus", "convert"}, {"three.opus", "convert"}},
         [&] {
             EXPECT_EQ(Probe(one, "codec_name"), "opus");
             EXPECT_EQ(Tag(one, "title"), "One");
             onePackets = AudioPackets(one);
         }},
        {"nothing changed",
         [] {},
         {},
         ActionTable{{"one.opus", "skip"}, {"two.opus", "skip"}, {"three.opus", "skip"}},
         [] {}},
        {"tags edited",
         [&] {
             Shell("metaflac --remove-tag=TITLE --remove-tag=ARTIST --set-tag=TITLE=Uno " +
                   Quote(dir / "lib/a/one.flac"));
         },
         {},
         ActionTable{{"one.opus", "retag"}, {"two.opus", "skip"}, {"three.opus", "skip"}},
         [&] {
             EXPECT_EQ(Tag(one, "title"), "Uno");
             EXPECT_EQ(Tag(one, "artist"), "");        // a field removed from the source goes too
             EXPECT_EQ(AudioPackets(one), onePackets); // the audio was not encoded again
         }},
        {"audio edited",
         [&] { Flac(dir / "lib/a/two.flac", 2, "Two"); },
         {},
         ActionTable{{"one.opus", "skip"}, {"two.opus", "reconvert"}, {"three.opus", "skip"}},
         [&] { EXPECT_NEAR(Seconds(dir / "out/a/two.opus"), 2, 0.05); }},
        {"settings changed",
         [] {},
         {"--bitrate", "64"},
         ActionTable{
             {"one.opus", "reconvert"}, {"two.opus", "reconvert"}, {"three.opus", "reconvert"}},
         [&] { EXPECT_NE(AudioPackets(one), onePackets); }},
        {"another format's stored choice changed",
         [] { StoreWriteNumber(32, StoreRoot::User, SettingsKey, "BrConvMP3Bit"); },
         {"--bitrate", "64"},
         ActionTable{{"one.opus", "skip"}, {"two.opus", "skip"}, {"three.opus", "skip"}},
         [] {}},
        {"source removed",
         [&] { fs::remove(dir / "lib/b/three.flac"); },
         {"--bitrate", "64"},
         ActionTable{{"one.opus", "skip"}, {"two.opus", "skip"}, {"three.opus", "delete"}},
         [&] { EXPECT_FALSE(fs::exists(dir / "out/b")); }}, // the folder it emptied went too
        {"output changed by the user, then its source removed",
         [&] {
             Shell("printf x >> " + Quote(one));
             fs::remove(dir / "lib/a/one.flac");
         },
         {"--bitrate", "64"},
         ActionTable{{"one.opus", "keep"}, {"two.opus", "skip"}},
         [&] {
             EXPECT_TRUE(fs::exists(one));
             twoPackets = AudioPackets(dir / "out/a/two.opus");
         }},
        {"the naming pattern gives another name",
         [] {},
         {"--bitrate", "64", "--name", "{title}"},
         ActionTable{{"one.opus", "keep"}, {"Two.opus", "rename"}},
         [&] {
             EXPECT_FALSE(fs::exists(dir / "out/a/two.opus"));
             EXPECT_EQ(AudioPackets(dir / "out/Two.opus"), twoPackets); // moved, not made again
         }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.change);
        step.make();
        EXPECT_EQ(mirror.List(step.options), step.expected);
        const Outcome run = mirror.Run(step.options);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        // The run says what it does, skips aside, and counts every action last.
        EXPECT_EQ(Actions(run.out).size(),
                  std::count_if(step.expected.begin(), step.expected.end(),
                                [](const auto& a) { return a.second != "skip"; }));
        EXPECT_NE(LastLine(run.out).find(" skip, 0 failed"), std::string::npos) << run.out;
        step.check();
    }
}

TEST(CliMirror, ARunKilledHalfwayIsFinishedByTheNextWithNothingTwiceOrLost) {
    ConfigHome config;
    TestFolder dir;
    for (const char* name : {"1", "2", "3", "4", "5", "6"}) {
        Flac(dir / (std::string("lib/") + name + ".flac"), 20, name);
    }
    const std::string second = dir / "out/2.opus";
    // Made first, then made again with other settings: a killed run must not leave the outputs
    // it never reached looking done.
    for (const auto& [options, remaining] :
         {std::pair{std::vector<std::string>{}, "convert"},
          std::pair{std::vector<std::string>{"--bitrate", "64"}, "reconvert"}}) {
        const Mirror mirror{dir, options};
        std::error_code none;
        const auto before = fs::last_write_time(second, none);
        const Spawned run = Spawn(dir, {"--mirror", "-j", "1", "-t", "opus", "-o", dir / "out",
                                        dir / "lib", "--bitrate", options.empty() ? "128" : "64"});
        // Killed while it writes the third output, two being done.
        ASSERT_TRUE(WaitForGrowth(
            [&] {
                std::error_code ec;
                return fs::last_write_time(second, ec) != before && !ec
                           ? UnnamedFileOf(run.pid, dir / "out")
                           : "";
            },
            0));
        kill(run.pid, SIGKILL);
        Wait(run);

        const auto resumed = mirror.List();
        EXPECT_EQ(resumed.size(), 6u);
        EXPECT_EQ(resumed.at("1.opus"), "skip");
        EXPECT_EQ(resumed.at("2.opus"), "skip");
        EXPECT_EQ(resumed.at("6.opus"), remaining);
        const Outcome rest = mirror.Run();
        EXPECT_EQ(rest.exitCode, 0) << rest.err;
        for (const auto& [name, action] : mirror.List()) {
            EXPECT_EQ(action, "skip") << name;
            EXPECT_NEAR(Seconds(dir / ("out/" + name)), 20, 0.05) << name;
        }
        EXPECT_TRUE(Leftovers(dir / "out").empty());
    }
}

TEST(CliMirror, ALostJournalAdoptsTheOutputsThereAndDeletesNothing) {
    ConfigHome config;
    TestFolder dir;
    Flac(dir / "lib/one.flac", 1, "One");
    Flac(dir / "lib/two.flac", 1, "Two");
    const Mirror mirror{dir};
    ASSERT_EQ(mirror.Run().exitCode, 0);
    fs::remove(dir / "out/.brindlex-mirror.db");
    fs::remove(dir / "lib/two.flac");
    // A file of the user's whose name the next source would take is kept too.
    Flac(dir / "lib/three.flac", 1, "Three");
    WriteTextFile(dir / "out/three.opus", "mine");

    using ActionTable = std::map<std::string, std::string>;
    EXPECT_EQ(mirror.List(), (ActionTable{{"one.opus", "skip"}, {"three.opus", "keep"}}));
    const Outcome run = mirror.Run();
    EXPECT_TRUE(fs::exists(dir / "out/two.opus"));
    EXPECT_EQ(ReadTextFile(dir / "out/three.opus"), "mine");
    EXPECT_EQ(mirror.List(), (ActionTable{{"one.opus", "skip"}, {"three.opus", "keep"}}));
}

TEST(CliMirror, ALibraryMovedToAnotherFolderKeepsItsOutputsAndTheirJournal) {
    ConfigHome config;
    TestFolder dir;
    Flac(dir / "lib/a/one.flac", 1, "One");
    Flac(dir / "lib/a/two.flac", 1, "Two");
    Flac(dir / "lib/three.flac", 1, "Three");
    ASSERT_EQ(Mirror{dir}.Run().exitCode, 0);
    const std::string packets = AudioPackets(dir / "out/three.opus");
    fs::rename(dir / "lib", dir / "moved");
    Shell("metaflac --remove-tag=TITLE --set-tag=TITLE=Uno " + Quote(dir / "moved/a/one.flac"));

    const auto run = [&](std::vector<std::string> more) {
        std::vector<std::string> args = {"-t", "opus",      "--mirror",
                                         "-o", dir / "out", dir / "moved"};
        args.insert(args.end(), more.begin(), more.end());
        return Convert(dir, args);
    };
    using ActionTable = std::map<std::string, std::string>;
    EXPECT_EQ(Actions(run({"--list"}).out),
              (ActionTable{{"one.opus", "retag"}, {"two.opus", "skip"}, {"three.opus", "skip"}}));
    const Outcome moved = run({});
    ASSERT_EQ(moved.exitCode, 0) << moved.err;
    EXPECT_EQ(Tag(dir / "out/a/one.opus", "title"), "Uno");
    EXPECT_EQ(AudioPackets(dir / "out/three.opus"), packets);

    // The journal now holds them under the new folder: a file removed there takes its output.
    fs::remove(dir / "moved/a/two.flac");
    EXPECT_EQ(Actions(run({"--list"}).out),
              (ActionTable{{"one.opus", "skip"}, {"two.opus", "delete"}, {"three.opus", "skip"}}));
}

TEST(CliMirror, RefusesWhatWouldMirrorIntoItselfOrTakeAnotherProgramsFile) {
    ConfigHome config;
    TestFolder dir;
    Flac(dir / "lib/one.flac", 1, "One");
    for (const std::string& out : {dir / "lib/phone", dir.Path()}) {
        const Outcome nested = Convert(dir, {"--mirror", "-t", "opus", "-o", out, dir / "lib"});
        EXPECT_EQ(nested.exitCode, 2);
        EXPECT_NE(nested.err.find("one inside the other"), std::string::npos) << nested.err;
    }
    EXPECT_FALSE(fs::exists(dir / "lib/phone"));

    // Two originals of one name in two libraries, and a WAVE beside its FLAC: all three would
    // write one output, which only one could keep.
    SoxTone(dir / "more/one.flac", 0.5);
    SoxTone(dir / "more/one.wav", 0.5);
    const Outcome clash =
        Convert(dir, {"--mirror", "-t", "opus", "-o", dir / "clash", dir / "lib", dir / "more"});
    EXPECT_EQ(clash.exitCode, 2);
    for (const std::string& named : {dir / "lib/one.flac", dir / "more/one.flac",
                                     dir / "more/one.wav", dir / "clash/one.opus"}) {
        EXPECT_NE(clash.err.find(named), std::string::npos) << named << "\n" << clash.err;
    }
    EXPECT_FALSE(fs::exists(dir / "clash"));

    fs::create_directories(dir / "out");
    Shell("python3 -c \"import sqlite3,sys; sqlite3.connect(sys.argv[1]).execute('create table "
          "t(x)')\" " +
          Quote(dir / "out/.brindlex-mirror.db"));
    const Outcome foreign = Mirror{dir}.Run();
    EXPECT_EQ(foreign.exitCode, 2);
    EXPECT_NE(foreign.err.find("is not a mirror journal"), std::string::npos) << foreign.err;
    EXPECT_FALSE(fs::exists(dir / "out/one.opus"));
}

TEST(CliMirror, CopiesLossyOriginalsAndExtrasAsTheyAreAndReportsEachFile) {
    ConfigHome config;
    TestFolder dir;
    const std::string flac = Flac(dir / "lib/a/one.flac", 1, "One");
    const std::string mp3 = dir / "lib/a/lossy.mp3";
    Shell("ffmpeg -v error -i " + Quote(flac) + " " + Quote(mp3));
    WriteTextFile(dir / "lib/a/cover.jpg", "picture");
    WriteTextFile(dir / "lib/a/notes.txt", "notes");
    const Mirror mirror{dir, {"--copy-lossy", "--extras", "cover.jpg,*.png"}};
    const std::string report = dir / "run.json";
    ASSERT_EQ(mirror.Run({"--report", report}).exitCode, 0);

    EXPECT_EQ(ReadTextFile(dir / "out/a/lossy.mp3"), ReadTextFile(mp3));
    EXPECT_EQ(ReadTextFile(dir / "out/a/cover.jpg"), "picture");
    EXPECT_FALSE(fs::exists(dir / "out/a/notes.txt"));
    EXPECT_EQ(Probe(dir / "out/a/one.opus", "codec_name"), "opus");
    // Read by python's own JSON reader: each file once, with what became of it, and the totals.
    EXPECT_EQ(Shell("python3 -c \"import json,sys; r=json.load(open(sys.argv[1])); "
                    "print(sorted((i['action'], i['result'], i['output'].split('/')[-1]) for i in "
                    "r['items']), r['totals']['copy'], r['totals']['failed'])\" " +
                    Quote(report)),
              "[('convert', 'done', 'one.opus'), ('copy', 'done', 'cover.jpg'), ('copy', 'done', "
              "'lossy.mp3')] 2 0");

    fs::remove(dir / "lib/a/cover.jpg");
    EXPECT_EQ(mirror.List().at("cover.jpg"), "delete");
}

TEST(CliMirror, EachShareKeepsItsOwnJournalAndDeletesOnlyItsOwnOrphans) {
    ConfigHome config;
    TestFolder dir;
    for (const char* name : {"1", "2", "3", "4", "5", "6"}) {
        Flac(dir / (std::string("lib/") + name + ".flac"), 0.2, name);
    }
    std::map<std::string, std::string> shareOf;
    for (const std::string share : {"1/2", "2/2"}) {
        const Mirror mirror{dir, {"-t", "wav", "--shard", share}};
        for (const auto& [name, action] : mirror.List()) {
            shareOf[name] = share;
        }
        ASSERT_EQ(mirror.Run().exitCode, 0);
    }
    ASSERT_EQ(shareOf.size(), 6u);
    EXPECT_TRUE(fs::exists(dir / "out/.brindlex-mirror-1-of-2.db"));
    EXPECT_TRUE(fs::exists(dir / "out/.brindlex-mirror-2-of-2.db"));

    fs::remove(dir / "lib/1.flac");
    for (const std::string share : {"1/2", "2/2"}) {
        const auto actions = Mirror{dir, {"-t", "wav", "--shard", share}}.List();
        EXPECT_EQ(actions.contains("1.wav"), shareOf["1.wav"] == share) << share;
        EXPECT_EQ(actions.contains("1.wav") ? actions.at("1.wav") : "",
                  shareOf["1.wav"] == share ? "delete" : "");
    }
}

TEST(CliMirror, ASourceFromTheFutureOrLoopingOnItselfIsNamedAndNothingIsDeleted) {
    ConfigHome config;
    TestFolder dir;
    Flac(dir / "lib/one.flac", 1, "One");
    Flac(dir / "lib/two.flac", 1, "Two");
    const Mirror mirror{dir};
    ASSERT_EQ(mirror.Run().exitCode, 0);
    Shell("touch -d '+1 day' " + Quote(dir / "lib/one.flac"));
    fs::remove(dir / "lib/two.flac");
    fs::create_symlink(dir / "lib/two.flac", dir / "lib/two.flac");

    const Outcome run = mirror.Run();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("skip\t" + dir / "lib/one.flac\t" + dir / "out/one.opus\t" +
                           "its source's modification time is in the future"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("keep\t" + dir / "lib/two.flac\t" + dir / "out/two.opus\t" +
                           "its source cannot be read (Too many levels of symbolic links)"),
              std::string::npos)
        << run.out;
    EXPECT_TRUE(fs::exists(dir / "out/two.opus"));
}

// Each source's audio digest is taken by its conversion, in a worker process, and must be the one
// a later run takes of the same file: touched, each is still the same audio; retagged, each is
// retagged rather than converted again.
TEST(CliMirror, TheDigestTakenWhileConvertingIsTheOneALaterRunTakes) {
    ConfigHome config;
    TestFolder dir;
    const std::string wav = SoxTone(dir / "tone.wav", 1);
    const std::map<std::string, std::string> makers = {
        {"a.mp3", "ffmpeg -v error -i %in -c:a libmp3lame %out"},
        {"b.opus", "opusenc --quiet %in %out"},
        {"c.ogg", "oggenc -Q -o %out %in"},
        {"d.m4a", "ffmpeg -v error -i %in -c:a aac %out"},
    };
    for (const auto& [name, command] : makers) {
        std::string line = command;
        line.replace(line.find("%in"), 3, Quote(wav));
        line.replace(line.find("%out"), 4, Quote(dir / ("lib/" + name)));
        Shell("mkdir -p " + Quote(dir / "lib") + " && " + line);
    }
    const Mirror mirror{dir, {"-j", "2"}};
    ASSERT_EQ(mirror.Run().exitCode, 0);
    using ActionTable = std::map<std::string, std::string>;
    const auto all = [](const std::string& action) {
        return ActionTable{
            {"a.opus", action}, {"b.opus", action}, {"c.opus", action}, {"d.opus", action}};
    };

    Shell("touch -d '-1 hour' " + Quote(dir / "lib") + "/*");
    EXPECT_EQ(mirror.List(), all("skip"));

    Shell("/usr/bin/python3 -c \"import sys, mutagen\nfor p in sys.argv[1:]:\n"
          "    f = mutagen.File(p, easy=True); f['title'] = 'Retitled'; f.save()\" " +
          Quote(dir / "lib") + "/*");
    EXPECT_EQ(mirror.List(), all("retag"));
}

// An .m4a file of Apple Lossless is no lossy original: converted where --copy-lossy copies AAC,
// and copied by --copy-same to an ALAC target, where AAC is converted.
TEST(CliMirror, AppleLosslessIsToldFromAacByWhatTheFileHolds) {
    ConfigHome config;
    TestFolder dir;
    const std::string wav = SoxTone(dir / "tone.wav", 0.5);
    Shell("mkdir -p " + Quote(dir / "lib") + " && ffmpeg -v error -i " + Quote(wav) +
          " -c:a alac " + Quote(dir / "lib/lossless.m4a") + " && ffmpeg -v error -i " + Quote(wav) +
          " -c:a aac " + Quote(dir / "lib/lossy.m4a"));
    using ActionTable = std::map<std::string, std::string>;
    EXPECT_EQ(Mirror{dir}.List({"--copy-lossy"}),
              (ActionTable{{"lossless.opus", "convert"}, {"lossy.m4a", "copy"}}));
    EXPECT_EQ(Mirror{dir}.List({"--copy-same", "-t", "alac"}),
              (ActionTable{{"lossless.m4a", "copy"}, {"lossy.m4a", "convert"}}));
}
