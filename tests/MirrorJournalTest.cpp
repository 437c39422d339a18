// The mirror's journal: its rows, what it refuses, what it survives.
#include <gtest/gtest.h>

#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "TestFolder.h"
#include "mirror/MirrorJournal.h"

namespace fs = std::filesystem;

namespace {
MirrorRow Row(const std::string& source, const std::string& output, uint8_t mark) {
    Digest digest{};
    digest[31] = mark;
    return MirrorRow{"music", source, 1000 + mark, int64_t{1} << 40, digest, digest, "opus 128",
                     output,  500,    -7,          digest,           false};
}

bool operator==(const MirrorRow& a, const MirrorRow& b) {
    return a.root == b.root && a.source == b.source && a.sourceSize == b.sourceSize &&
           a.sourceMtimeNs == b.sourceMtimeNs && a.audioDigest == b.audioDigest &&
           a.tagsDigest == b.tagsDigest && a.settings == b.settings && a.output == b.output &&
           a.outputSize == b.outputSize && a.outputMtimeNs == b.outputMtimeNs &&
           a.outputDigest == b.outputDigest && a.pending == b.pending;
}

// The exit status of body run in a child process.
int InChild(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void MakeSqliteFile(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}
} // namespace

TEST(MirrorJournal, KeepsItsRowsAcrossRuns) {
    TestFolder dest;
    const MirrorRow a = Row("a/one.flac", "a/one.opus", 1);
    MirrorRow b = Row("b/two.flac", "b/two.opus", 2);
    {
        MirrorJournal journal(dest.Path(), 0, 0, 0);
        ASSERT_EQ(journal.GetState(), MirrorJournal::State::Fresh) << journal.Line();
        EXPECT_FALSE(journal.Trusted());
        EXPECT_TRUE(journal.Record(a) && journal.Record(b));
        // A rename replaces the row of the same source.
        b.output = "b/renamed.opus";
        EXPECT_TRUE(journal.Record(b));
        EXPECT_FALSE(journal.FindOutput("b/two.opus"));
        MirrorJournal::Batch batch(journal);
        journal.Record(Row("c/three.flac", "c/three.opus", 3));
        journal.RemoveOutput("a/one.opus");
        // Not committed: gone with the batch.
    }
    MirrorJournal journal(dest.Path(), 0, 0, 0);
    EXPECT_EQ(journal.GetState(), MirrorJournal::State::Open);
    EXPECT_TRUE(journal.Trusted());
    EXPECT_TRUE(journal.Line().empty());
    const std::vector<MirrorRow> rows = journal.Rows();
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_TRUE(rows[0] == a && rows[1] == b);
    EXPECT_TRUE(*journal.FindSource("music", "b/two.flac") == b);
    EXPECT_FALSE(journal.FindSource("other", "b/two.flac"));
    EXPECT_TRUE(journal.RemoveOutput("a/one.opus"));
    EXPECT_FALSE(journal.FindOutput("a/one.opus"));

    EXPECT_EQ(MirrorJournal::FileName(2, 3), ".brindlex-mirror-2-of-3.db");
    MirrorJournal shard(dest.Path(), 2, 3, 0);
    EXPECT_EQ(shard.GetState(), MirrorJournal::State::Fresh);
    EXPECT_TRUE(shard.Rows().empty());
}

TEST(MirrorJournal, LeavesAnotherProgramsFileAlone) {
    TestFolder dest;
    const std::string path = dest / ".brindlex-mirror.db";
    for (const char* sql : {"CREATE TABLE songs(title TEXT)",
                            // Ours, but from a newer version.
                            "PRAGMA application_id = 1114795384; PRAGMA user_version = 99"}) {
        fs::remove(path);
        MakeSqliteFile(path, sql);
        const std::string before = ReadTextFile(path);
        MirrorJournal journal(dest.Path(), 0, 0, 0);
        EXPECT_EQ(journal.GetState(), MirrorJournal::State::Foreign) << sql;
        EXPECT_FALSE(journal.Usable() || journal.Record(Row("a", "b", 1)));
        EXPECT_NE(journal.Line().find(path), std::string::npos);
        EXPECT_EQ(ReadTextFile(path), before);
    }
}

TEST(MirrorJournal, SetsADamagedJournalAsideAndStartsAfresh) {
    TestFolder dest;
    const std::string path = dest / ".brindlex-mirror.db";
    {
        MirrorJournal journal(dest.Path(), 0, 0, 0);
        journal.Record(Row("a/one.flac", "a/one.opus", 1));
    }
    WriteTextFile(dest / "a.opus", "an output");
    std::string damaged = ReadTextFile(path);
    damaged.replace(100, 400, std::string(400, 'x'));
    WriteTextFile(path, damaged);

    std::string line;
    {
        MirrorJournal journal(dest.Path(), 0, 0, 0);
        EXPECT_EQ(journal.GetState(), MirrorJournal::State::Rebuilt);
        EXPECT_FALSE(journal.Trusted());
        EXPECT_TRUE(journal.Rows().empty());
        EXPECT_TRUE(journal.Record(Row("a/one.flac", "a/one.opus", 1)));
        line = journal.Line();
    }
    const std::vector<std::string> names = SortedNames(dest.Path());
    ASSERT_EQ(names.size(), 3U) << line;
    EXPECT_EQ(names[0], ".brindlex-mirror.db");
    EXPECT_TRUE(names[1].starts_with(".brindlex-mirror.db.damaged-"));
    EXPECT_EQ(ReadTextFile(dest / names[1]), damaged);
    EXPECT_EQ(names[2], "a.opus");
    EXPECT_NE(line.find(names[1]), std::string::npos) << line;
    EXPECT_EQ(MirrorJournal(dest.Path(), 0, 0, 0).Rows().size(), 1U);
}

TEST(MirrorJournal, OneRunAtATime) {
    TestFolder dest;
    // The run holding the journal is another process (a connection must not cross a fork).
    int ready[2];
    int release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        MirrorJournal journal(dest.Path(), 0, 0, 0);
        (void)!write(ready[1], journal.Usable() ? "y" : "n", 1);
        char c = 0;
        (void)!read(release[0], &c, 1);
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');
    {
        MirrorJournal refused(dest.Path(), 0, 0, 0);
        EXPECT_EQ(refused.GetState(), MirrorJournal::State::Busy);
        EXPECT_NE(refused.Line().find("in use by another run"), std::string::npos);
    }
    // A run that may wait gets it once the other lets go.
    (void)!write(release[1], "g", 1);
    MirrorJournal waited(dest.Path(), 0, 0, 10000);
    EXPECT_EQ(waited.GetState(), MirrorJournal::State::Open) << waited.Line();
    int status = 0;
    EXPECT_EQ(waitpid(holder, &status, 0), holder);
    for (int fd : {ready[0], ready[1], release[0], release[1]}) {
        close(fd);
    }
}

TEST(MirrorJournal, RunsStartingTogetherTakeTurns) {
    TestFolder dest;
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    std::vector<pid_t> runs;
    for (int n = 0; n < 3; ++n) {
        if (const pid_t pid = fork(); pid == 0) {
            close(gate[1]);
            char c = 0;
            (void)!read(gate[0], &c, 1);
            MirrorJournal journal(dest.Path(), 0, 0, 10000);
            const bool recorded = journal.Record(Row(std::to_string(n), std::to_string(n), 1));
            usleep(50000);
            _exit(recorded ? 0 : 10 + static_cast<int>(journal.GetState()));
        } else {
            runs.push_back(pid);
        }
    }
    close(gate[0]);
    close(gate[1]);
    for (const pid_t pid : runs) {
        int status = 0;
        EXPECT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << WEXITSTATUS(status);
    }
    EXPECT_EQ(MirrorJournal(dest.Path(), 0, 0, 0).Rows().size(), 3U);
}

TEST(MirrorJournal, AKillBeforeACommitLeavesTheRowsBefore) {
    TestFolder dest;
    MirrorRow claimed = Row("a/one.flac", "a/one.opus", 1);
    claimed.pending = true;
    EXPECT_EQ(InChild([&] {
                  MirrorJournal journal(dest.Path(), 0, 0, 0);
                  journal.Record(Row("b/two.flac", "b/two.opus", 2));
                  journal.Record(claimed);
                  MirrorJournal::SetBeforeCommitHookForTesting([] { _exit(3); });
                  // Outputs were written; their rows die with the process before their commit,
                  // enough of them that SQLite has moved changed pages into the file already.
                  MirrorJournal::Batch batch(journal);
                  for (int n = 0; n < 2000; ++n) {
                      MirrorRow row = Row("c/" + std::to_string(n), "c/" + std::to_string(n), 3);
                      row.settings.assign(2000, 's');
                      journal.Record(row);
                  }
                  journal.Record(Row("a/one.flac", "a/one.opus", 1));
                  batch.Commit();
                  return 0;
              }),
              3);
    MirrorJournal journal(dest.Path(), 0, 0, 0);
    EXPECT_EQ(journal.GetState(), MirrorJournal::State::Open) << journal.Line();
    const std::vector<MirrorRow> rows = journal.Rows();
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_TRUE(rows[0] == claimed);
    EXPECT_EQ(rows[1].output, "b/two.opus");
}
