// What a mirror run does with each source, from the journal's row and the files as they are.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <string>

#include "mirror/MirrorDecision.h"

namespace {
Digest D(uint8_t n) {
    Digest digest{};
    digest[0] = n;
    return digest;
}

FileState File(int64_t size, int64_t mtimeNs) {
    return FileState{true, 0, true, size, mtimeNs};
}

// A source converted once, its output as written, nothing changed since.
struct Case {
    const char* name;
    std::function<void(MirrorFacts&, MirrorRow&)> change;
    MirrorAction action;
    // Whether the source's digests may be asked for at all.
    bool digestsAsked = true;
    const char* reason = "";
};

MirrorVerdict Decide(const Case& c, int& asked) {
    MirrorRow row{"music",    "a/song.flac", 1000, 10, D(1), D(2),
                  "opus 128", "a/song.opus", 500,  20, D(3), false};
    MirrorFacts f;
    f.row = &row;
    f.source = File(1000, 10);
    f.nowNs = 100;
    f.audioDigest = [&] { return ++asked, std::optional(D(1)); };
    f.tagsDigest = [&] { return ++asked, std::optional(D(2)); };
    f.settingsKey = "opus 128";
    f.outputName = "a/song.opus";
    f.output = File(500, 20);
    f.outputDigest = [] { return std::optional(D(3)); };
    f.outputMatchesSource = [] { return true; };
    f.targetLossy = true;
    c.change(f, row);
    return DecideMirror(f);
}

void NoRow(MirrorFacts& f, MirrorRow&) {
    f.row = nullptr;
}

const Case Cases[] = {
    {"unchanged", [](MirrorFacts&, MirrorRow&) {}, MirrorAction::Skip, false},
    {"new source", [](MirrorFacts& f, MirrorRow& r) { NoRow(f, r), f.output = {}; },
     MirrorAction::Convert},
    {"new source already in the target format, copy-same",
     [](MirrorFacts& f, MirrorRow& r) {
         NoRow(f, r), f.output = {}, f.copySame = f.sourceIsTargetFormat = true;
     },
     MirrorAction::Copy},
    {"new lossy source, copy-lossy",
     [](MirrorFacts& f, MirrorRow& r) {
         NoRow(f, r), f.output = {}, f.copyLossy = f.sourceLossy = true;
     },
     MirrorAction::Copy},
    {"new source, someone's file at its name", NoRow, MirrorAction::Keep, true,
     "not written by the mirror"},
    {"journal rebuilt, matching output adopted",
     [](MirrorFacts& f, MirrorRow& r) { NoRow(f, r), f.journalTrusted = false; },
     MirrorAction::Skip},
    {"journal rebuilt, output of another length",
     [](MirrorFacts& f, MirrorRow& r) {
         NoRow(f, r), f.journalTrusted = false, f.outputMatchesSource = [] { return false; };
     },
     MirrorAction::Keep, true, "not made from its source"},
    {"killed after claiming the name, before recording the output",
     [](MirrorFacts&, MirrorRow& r) { r.pending = true; }, MirrorAction::Skip},
    {"killed before the output took its name",
     [](MirrorFacts& f, MirrorRow& r) { r.pending = true, f.output = {}; }, MirrorAction::Convert},
    {"touched, same digests", [](MirrorFacts& f, MirrorRow&) { f.source.mtimeNs = 11; },
     MirrorAction::Skip},
    {"tags edited",
     [](MirrorFacts& f, MirrorRow&) {
         f.source = File(1001, 11), f.tagsDigest = [] { return std::optional(D(9)); };
     },
     MirrorAction::Retag},
    {"tags edited, copied as it is",
     [](MirrorFacts& f, MirrorRow&) {
         f.source = File(1001, 11), f.tagsDigest = [] { return std::optional(D(9)); };
         f.copySame = f.sourceIsTargetFormat = true;
     },
     MirrorAction::Copy},
    {"audio changed",
     [](MirrorFacts& f, MirrorRow&) {
         f.source = File(1001, 11), f.audioDigest = [] { return std::optional(D(9)); };
     },
     MirrorAction::Reconvert},
    {"unreadable after a change",
     [](MirrorFacts& f, MirrorRow&) {
         f.source = File(1001, 11), f.audioDigest = [] { return std::optional<Digest>(); };
     },
     MirrorAction::Reconvert},
    {"settings changed", [](MirrorFacts& f, MirrorRow&) { f.settingsKey = "opus 96"; },
     MirrorAction::Reconvert, false},
    {"time in the future", [](MirrorFacts& f, MirrorRow&) { f.nowNs = 5; }, MirrorAction::Skip,
     true, "in the future"},
    {"renamed", [](MirrorFacts& f, MirrorRow&) { f.outputName = "b/song.opus"; },
     MirrorAction::Rename, false},
    {"renamed onto someone's file",
     [](MirrorFacts& f, MirrorRow&) { f.outputName = "b/song.opus", f.atNewName = File(1, 1); },
     MirrorAction::Keep, false, "in the way"},
    {"output touched, content as written",
     [](MirrorFacts& f, MirrorRow&) { f.output.mtimeNs = 21; }, MirrorAction::Skip, false},
    {"output edited by the user",
     [](MirrorFacts& f, MirrorRow&) {
         f.output = File(501, 21), f.outputDigest = [] { return std::optional(D(8)); };
     },
     MirrorAction::Keep, false, "changed since the mirror wrote it"},
    {"output removed by the user", [](MirrorFacts& f, MirrorRow&) { f.output = {}; },
     MirrorAction::Convert, false},
    {"source gone, output as written", [](MirrorFacts& f, MirrorRow&) { f.source = {}; },
     MirrorAction::Delete, false},
    {"source gone, output edited",
     [](MirrorFacts& f, MirrorRow&) {
         f.source = {}, f.outputDigest = [] { return std::optional(D(8)); };
     },
     MirrorAction::Keep, false, "changed since"},
    {"source gone, output unreadable",
     [](MirrorFacts& f, MirrorRow&) {
         f.source = {}, f.outputDigest = [] { return std::optional<Digest>(); };
     },
     MirrorAction::Keep, false},
    {"source gone, journal rebuilt",
     [](MirrorFacts& f, MirrorRow&) { f.source = {}, f.journalTrusted = false; },
     MirrorAction::Keep, false},
    {"source gone, someone's file",
     [](MirrorFacts& f, MirrorRow& r) { NoRow(f, r), f.source = {}; }, MirrorAction::Keep, false,
     "not written by the mirror"},
    {"source folder unmounted",
     [](MirrorFacts& f, MirrorRow&) { f.source = {}, f.rootPresent = false; }, MirrorAction::Keep,
     false, "source folder is missing"},
    {"source replaced by a loop of links",
     [](MirrorFacts& f, MirrorRow&) {
         f.source = FileState{true, ELOOP, false, 0, 0};
     },
     MirrorAction::Keep, false, "cannot be read"},
};
} // namespace

TEST(MirrorDecision, EachStateGivesItsAction) {
    for (const Case& c : Cases) {
        int asked = 0;
        const MirrorVerdict verdict = Decide(c, asked);
        EXPECT_EQ(MirrorActionWord(verdict.action), MirrorActionWord(c.action)) << c.name;
        EXPECT_NE(verdict.reason.find(c.reason), std::string::npos)
            << c.name << ": " << verdict.reason;
        if (!c.digestsAsked) {
            EXPECT_EQ(asked, 0) << c.name;
        }
    }
}

TEST(MirrorDecision, SaysWhatFollowsFromTheAction) {
    int asked = 0;
    const auto decide = [&](const char* name) {
        for (const Case& c : Cases) {
            if (std::string(c.name) == name) {
                return Decide(c, asked);
            }
        }
        ADD_FAILURE() << name;
        return MirrorVerdict{};
    };
    EXPECT_TRUE(decide("journal rebuilt, matching output adopted").adopt);
    EXPECT_TRUE(decide("touched, same digests").refresh);
    EXPECT_TRUE(decide("source gone, output unreadable").reason.size());
    const MirrorVerdict renamed = decide("renamed");
    EXPECT_FALSE(renamed.reencode || renamed.retag);
    MirrorVerdict gone = Decide(
        {"", [](MirrorFacts& f, MirrorRow&) { f.source = f.output = {}; }, MirrorAction::Skip},
        asked);
    EXPECT_TRUE(gone.forget);
    const MirrorVerdict both = Decide({"",
                                       [](MirrorFacts& f, MirrorRow&) {
                                           f.outputName = "b/song.opus", f.settingsKey = "opus 96";
                                       },
                                       MirrorAction::Rename},
                                      asked);
    EXPECT_TRUE(both.reencode);
    const MirrorVerdict retitled = Decide({"",
                                           [](MirrorFacts& f, MirrorRow&) {
                                               f.outputName = "b/song.opus",
                                               f.source = File(1001, 11),
                                               f.tagsDigest = [] { return std::optional(D(9)); };
                                           },
                                           MirrorAction::Rename},
                                          asked);
    EXPECT_TRUE(retitled.retag && !retitled.reencode);
}
