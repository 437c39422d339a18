#pragma once
// The journal of a mirror: an SQLite file in the mirror's folder with one row per output, which
// says what each output was made from and what was written.
//
// Crash safety: a rollback journal (journal_mode DELETE) with synchronous FULL, never WAL. WAL
// keeps its index in shared memory, which machines sharing the folder over NFS do not share;
// the rollback journal needs only the POSIX locks of the file and fsync, which NFS carries
// between machines. Every change commits on its own (or in a Batch), so a run killed at any
// moment leaves the rows of what it finished and no half row.
//
// One run at a time: the connection is put in exclusive locking mode and takes SQLite's
// exclusive lock (a POSIX lock on the file) when it opens, keeping it across its commits until
// it closes. Another run, on this machine or another over NFS, cannot even read the journal
// meanwhile; it waits up to the time given, then is refused. The kernel (or the NFS lock
// manager) drops the lock with a killed process, so nothing stale is left behind. While a run
// holds it, SQLite keeps the emptied rollback journal beside it ("-journal"), removed at close.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mirror/MirrorRow.h"
#include "system/SqliteCalls.h"

class MirrorJournal {
public:
    enum class State : uint8_t {
        Open,       // the journal of earlier runs
        Fresh,      // there was none: made now
        Rebuilt,    // a damaged one was set aside and a fresh one made
        Busy,       // another run holds it
        Foreign,    // the file is another program's (or a newer version's): left untouched
        Unwritable, // it cannot be made or written
    };

    // Opens (or makes) the journal of shard of shards (0 of 0: no shards) in folder, waiting up
    // to waitMs for another run that holds it.
    MirrorJournal(const std::string& folder, int shard, int shards, int waitMs);
    MirrorJournal(const MirrorJournal&) = delete;
    MirrorJournal& operator=(const MirrorJournal&) = delete;

    // ".brindlex-mirror.db", or ".brindlex-mirror-K-of-N.db" for a shard.
    static std::string FileName(int shard, int shards);
    // How long a run waits for another that holds the journal before it says so.
    static constexpr int RunWaitMs = 10000;
    // The journal of a run in folder, made when there is none; with onlyExisting, none (null)
    // when there is none, so that looking at what a run would do makes nothing.
    static std::unique_ptr<MirrorJournal> ForRun(const std::string& folder, int shard, int shards,
                                                 bool onlyExisting);

    State GetState() const { return state_; }
    bool Usable() const { return db_ != nullptr; }
    // Its rows are the whole truth about what earlier runs wrote. False for a fresh or rebuilt
    // journal: outputs already there are adopted, never deleted.
    bool Trusted() const { return state_ == State::Open; }
    const std::string& Path() const { return path_; }
    // What to tell about the journal (set aside, refused, busy); empty when nothing.
    const std::string& Line() const { return line_; }

    // Stores the row, replacing any of the same output or the same source; false when it could
    // not be stored.
    bool Record(const MirrorRow& row);
    bool RemoveOutput(std::string_view output);
    std::optional<MirrorRow> FindSource(std::string_view root, std::string_view source);
    std::optional<MirrorRow> FindOutput(std::string_view output);
    // Every row, by output.
    std::vector<MirrorRow> Rows();

    // Many changes in one commit: committed by Commit(), rolled back when it goes without.
    class Batch {
    public:
        explicit Batch(MirrorJournal& journal);
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        ~Batch();
        bool Commit();

    private:
        MirrorJournal& journal_;
        bool open_ = false;
    };

    // How opening the file went, in more detail than State; for the journal's own use.
    enum class Opening : uint8_t;

    // Runs inside every write transaction just before it commits; tests kill the process there.
    static void SetBeforeCommitHookForTesting(std::function<void()> hook);

private:
    struct Statements {
        sqlitecalls::Stmt record;
        sqlitecalls::Stmt removeOutput;
        sqlitecalls::Stmt findSource;
        sqlitecalls::Stmt findOutput;
        sqlitecalls::Stmt rows;
    };

    Opening OpenAsSoonAsFree(int waitMs);
    Opening OpenFile(int waitMs);
    Opening TakeOver();
    int PrepareStatements();
    void SetAside();
    void Close();
    template <class Body> bool InTransaction(Body body);
    std::optional<MirrorRow> FindOne(sqlite3_stmt* stmt);

    std::string path_;
    std::string line_;
    State state_ = State::Unwritable;
    sqlitecalls::Db db_;
    Statements statements_;
    bool inBatch_ = false;
};
