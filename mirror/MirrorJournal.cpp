#include "mirror/MirrorJournal.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "system/SpecialFiles.h"

using namespace sqlitecalls;

enum class MirrorJournal::Opening : uint8_t {
    Opened,
    Made,
    Damaged,
    Busy,
    Foreign,
    Newer,
    Unwritable
};

namespace {
using Opening = MirrorJournal::Opening;

// "BrMx": tells our journal from any other SQLite file.
constexpr int ApplicationId = 0x42724d78;
constexpr int SchemaVersion = 1;
constexpr int RetryMs = 50;
constexpr const char* CompanionSuffixes[] = {"-journal", "-wal", "-shm"};

constexpr const char* SchemaSql =
    "CREATE TABLE outputs("
    " output TEXT PRIMARY KEY NOT NULL, root TEXT NOT NULL, source TEXT NOT NULL,"
    " source_size INTEGER NOT NULL, source_mtime_ns INTEGER NOT NULL,"
    " audio_digest BLOB, tags_digest BLOB, settings TEXT NOT NULL,"
    " output_size INTEGER NOT NULL, output_mtime_ns INTEGER NOT NULL, output_digest BLOB,"
    " pending INTEGER NOT NULL, UNIQUE(root, source)) WITHOUT ROWID;";

constexpr const char* Columns = "output, root, source, source_size, source_mtime_ns, "
                                "audio_digest, tags_digest, settings, output_size, "
                                "output_mtime_ns, output_digest, pending";

std::function<void()>& BeforeCommitHook() {
    static std::function<void()> hook;
    return hook;
}

void RunBeforeCommitHook() {
    if (BeforeCommitHook()) {
        BeforeCommitHook()();
    }
}

bool IsDamage(int rc) {
    rc = Primary(rc);
    return rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB;
}

Opening FromError(int rc) {
    if (IsDamage(rc)) {
        return Opening::Damaged;
    }
    return Primary(rc) == SQLITE_BUSY || Primary(rc) == SQLITE_LOCKED ? Opening::Busy
                                                                      : Opening::Unwritable;
}

int IntegerPragma(sqlite3* db, const char* sql, int64_t& value) {
    Stmt stmt;
    int rc = Prepare(db, sql, stmt);
    if (Succeeded(rc) && Primary(rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        value = sqlite3_column_int64(stmt.get(), 0);
        return SQLITE_OK;
    }
    return rc;
}

// Inside the exclusive transaction: is the file ours, empty or someone else's?
Opening Recognise(sqlite3* db) {
    int64_t id = 0;
    int64_t version = 0;
    int64_t objects = 0;
    int rc = QuickCheck(db);
    for (auto [sql, value] :
         {std::pair{"PRAGMA application_id", &id}, std::pair{"PRAGMA user_version", &version},
          std::pair{"SELECT count(*) FROM sqlite_master", &objects}}) {
        if (Succeeded(rc)) {
            rc = IntegerPragma(db, sql, *value);
        }
    }
    if (!Succeeded(rc)) {
        return FromError(rc);
    }
    if (id == 0 && objects == 0) {
        return Opening::Made;
    }
    if (id != ApplicationId) {
        return Opening::Foreign;
    }
    return version > SchemaVersion ? Opening::Newer : Opening::Opened;
}

// Writes the schema into an empty file, and in every case writes something, so that a folder
// or file we may not write is found now rather than after the first output.
int Claim(sqlite3* db, Opening opening) {
    int rc = opening == Opening::Made ? Exec(db, SchemaSql) : SQLITE_OK;
    const std::string stamp = "PRAGMA application_id = " + std::to_string(ApplicationId) +
                              "; PRAGMA user_version = " + std::to_string(SchemaVersion) + ";";
    return Succeeded(rc) ? Exec(db, stamp.c_str()) : rc;
}

void BindDigest(sqlite3_stmt* stmt, int index, const std::optional<Digest>& digest) {
    if (digest) {
        sqlite3_bind_blob(stmt, index, digest->data(), static_cast<int>(digest->size()),
                          SQLITE_TRANSIENT);
    } else {
        sqlite3_bind_null(stmt, index);
    }
}

std::optional<Digest> ColumnDigest(sqlite3_stmt* stmt, int column) {
    const void* blob = sqlite3_column_blob(stmt, column);
    Digest digest{};
    if (!blob || sqlite3_column_bytes(stmt, column) != static_cast<int>(digest.size())) {
        return std::nullopt;
    }
    std::copy_n(static_cast<const uint8_t*>(blob), digest.size(), digest.begin());
    return digest;
}

std::string ColumnText(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)))
                : std::string();
}

MirrorRow ReadRow(sqlite3_stmt* stmt) {
    MirrorRow row;
    row.output = ColumnText(stmt, 0);
    row.root = ColumnText(stmt, 1);
    row.source = ColumnText(stmt, 2);
    row.sourceSize = sqlite3_column_int64(stmt, 3);
    row.sourceMtimeNs = sqlite3_column_int64(stmt, 4);
    row.audioDigest = ColumnDigest(stmt, 5);
    row.tagsDigest = ColumnDigest(stmt, 6);
    row.settings = ColumnText(stmt, 7);
    row.outputSize = sqlite3_column_int64(stmt, 8);
    row.outputMtimeNs = sqlite3_column_int64(stmt, 9);
    row.outputDigest = ColumnDigest(stmt, 10);
    row.pending = sqlite3_column_int(stmt, 11) != 0;
    return row;
}

void BindRow(sqlite3_stmt* stmt, const MirrorRow& row) {
    BindText(stmt, 1, row.output);
    BindText(stmt, 2, row.root);
    BindText(stmt, 3, row.source);
    sqlite3_bind_int64(stmt, 4, row.sourceSize);
    sqlite3_bind_int64(stmt, 5, row.sourceMtimeNs);
    BindDigest(stmt, 6, row.audioDigest);
    BindDigest(stmt, 7, row.tagsDigest);
    BindText(stmt, 8, row.settings);
    sqlite3_bind_int64(stmt, 9, row.outputSize);
    sqlite3_bind_int64(stmt, 10, row.outputMtimeNs);
    BindDigest(stmt, 11, row.outputDigest);
    sqlite3_bind_int(stmt, 12, row.pending ? 1 : 0);
}
} // namespace

MirrorJournal::MirrorJournal(const std::string& folder, int shard, int shards, int waitMs)
    : path_((folder.empty() || folder.back() == '/' ? folder : folder + "/") +
            FileName(shard, shards)) {
    struct stat st {};
    const bool existed = lstat(path_.c_str(), &st) == 0;
    Opening opening = OpenAsSoonAsFree(waitMs);
    if (opening == Opening::Damaged) {
        SetAside();
        opening = OpenAsSoonAsFree(waitMs);
        if (opening == Opening::Made) {
            state_ = State::Rebuilt;
            return;
        }
    }
    switch (opening) {
    case Opening::Opened:
        state_ = State::Open;
        return;
    case Opening::Made:
        // An empty file left by a run killed while making it counts as none.
        state_ = existed && st.st_size > 0 ? State::Rebuilt : State::Fresh;
        return;
    case Opening::Busy:
        state_ = State::Busy;
        line_ = "The mirror journal '" + path_ + "' is in use by another run.";
        return;
    case Opening::Foreign:
    case Opening::Newer:
        state_ = State::Foreign;
        line_ =
            "'" + path_ + "' is not a mirror journal this version can use; it is left as it is.";
        return;
    case Opening::Damaged:
    case Opening::Unwritable:
        state_ = State::Unwritable;
        line_ = "Unable to write to '" + path_ + "'.";
        return;
    }
}

std::string MirrorJournal::FileName(int shard, int shards) {
    if (shards <= 1) {
        return ".brindlex-mirror.db";
    }
    return ".brindlex-mirror-" + std::to_string(shard) + "-of-" + std::to_string(shards) + ".db";
}

std::unique_ptr<MirrorJournal> MirrorJournal::ForRun(const std::string& folder, int shard,
                                                     int shards, bool onlyExisting) {
    std::error_code ec;
    if (onlyExisting && !std::filesystem::exists(folder + "/" + FileName(shard, shards), ec)) {
        return nullptr;
    }
    return std::make_unique<MirrorJournal>(folder, shard, shards, RunWaitMs);
}

void MirrorJournal::SetBeforeCommitHookForTesting(std::function<void()> hook) {
    BeforeCommitHook() = std::move(hook);
}

// Two runs starting at once may each hold the shared lock the other waits on, and SQLite then
// refuses one at once rather than deadlock: it lets go and tries again until its time is up.
MirrorJournal::Opening MirrorJournal::OpenAsSoonAsFree(int waitMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    Opening opening = OpenFile(waitMs);
    while (opening == Opening::Busy && std::chrono::steady_clock::now() < until) {
        sqlite3_sleep(RetryMs);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        opening = OpenFile(static_cast<int>(std::max<int64_t>(left.count(), 0)));
    }
    return opening;
}

MirrorJournal::Opening MirrorJournal::OpenFile(int waitMs) {
    Close();
    // SQLite would wait forever on a FIFO: anything but a file is set aside as damaged.
    if (IsSpecialFile(path_)) {
        return Opening::Damaged;
    }
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(path_.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    db_.reset(raw);
    if (!Succeeded(rc)) {
        Close();
        return Opening::Unwritable;
    }
    sqlite3_busy_timeout(db_.get(), waitMs);
    const Opening opening = TakeOver();
    if (opening != Opening::Opened && opening != Opening::Made) {
        Close();
    }
    return opening;
}

// Takes the lock for the run and checks the file under it. The connection turns to exclusive
// locking only once it holds the lock: one that kept a shared lock while waiting for it would
// deadlock with another run waiting for that shared lock to go.
MirrorJournal::Opening MirrorJournal::TakeOver() {
    sqlite3* db = db_.get();
    int rc = SQLITE_OK;
    for (const char* sql :
         {"PRAGMA synchronous = FULL", "PRAGMA journal_mode = DELETE", "BEGIN EXCLUSIVE"}) {
        if (Succeeded(rc)) {
            rc = Exec(db, sql);
        }
    }
    if (!Succeeded(rc)) {
        return FromError(rc);
    }
    Opening opening = Recognise(db);
    if (opening == Opening::Opened || opening == Opening::Made) {
        rc = Claim(db, opening);
        for (const char* sql : {"PRAGMA locking_mode = EXCLUSIVE", "COMMIT"}) {
            if (Succeeded(rc)) {
                rc = Exec(db, sql);
            }
        }
        rc = Succeeded(rc) ? PrepareStatements() : rc;
        opening = Succeeded(rc) ? opening : FromError(rc);
    }
    if (!Succeeded(rc) || (opening != Opening::Opened && opening != Opening::Made)) {
        Exec(db, "ROLLBACK");
    }
    return opening;
}

int MirrorJournal::PrepareStatements() {
    const std::string columns = Columns;
    const std::string select = "SELECT " + columns + " FROM outputs";
    const std::string record = "INSERT OR REPLACE INTO outputs(" + columns +
                               ") VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)";
    const std::pair<Stmt*, std::string> statements[] = {
        {&statements_.record, record},
        {&statements_.removeOutput, "DELETE FROM outputs WHERE output = ?1"},
        {&statements_.findSource, select + " WHERE root = ?1 AND source = ?2"},
        {&statements_.findOutput, select + " WHERE output = ?1"},
        {&statements_.rows, select + " ORDER BY output"},
    };
    int rc = SQLITE_OK;
    for (const auto& [stmt, sql] : statements) {
        if (Succeeded(rc)) {
            rc = Prepare(db_.get(), sql.c_str(), *stmt);
        }
    }
    return rc;
}

void MirrorJournal::Close() {
    statements_ = {};
    db_.reset();
}

// Moves the damaged file and what SQLite keeps beside it out of the way; nothing is deleted.
void MirrorJournal::SetAside() {
    Close();
    const std::string aside = SetAsideName(path_, "damaged");
    if (std::rename(path_.c_str(), aside.c_str()) != 0) {
        return;
    }
    for (const char* suffix : CompanionSuffixes) {
        std::rename((path_ + suffix).c_str(), (aside + suffix).c_str());
    }
    line_ = "The mirror journal '" + path_ + "' was damaged and is set aside as '" + aside +
            "'; outputs already there are kept and checked.";
}

template <class Body> bool MirrorJournal::InTransaction(Body body) {
    if (!db_) {
        return false;
    }
    if (inBatch_) {
        return Succeeded(body());
    }
    int rc = Exec(db_.get(), "BEGIN IMMEDIATE");
    if (Succeeded(rc)) {
        rc = body();
    }
    if (Succeeded(rc)) {
        RunBeforeCommitHook();
        rc = Exec(db_.get(), "COMMIT");
    }
    if (!Succeeded(rc)) {
        Exec(db_.get(), "ROLLBACK");
    }
    return Succeeded(rc);
}

bool MirrorJournal::Record(const MirrorRow& row) {
    return InTransaction([&] {
        sqlite3_stmt* stmt = statements_.record.get();
        sqlite3_reset(stmt);
        BindRow(stmt, row);
        return StepDone(stmt);
    });
}

bool MirrorJournal::RemoveOutput(std::string_view output) {
    return InTransaction([&] {
        sqlite3_stmt* stmt = statements_.removeOutput.get();
        sqlite3_reset(stmt);
        BindText(stmt, 1, output);
        return StepDone(stmt);
    });
}

std::optional<MirrorRow> MirrorJournal::FindOne(sqlite3_stmt* stmt) {
    std::optional<MirrorRow> row;
    if (Primary(sqlite3_step(stmt)) == SQLITE_ROW) {
        row = ReadRow(stmt);
    }
    sqlite3_reset(stmt);
    return row;
}

std::optional<MirrorRow> MirrorJournal::FindSource(std::string_view root, std::string_view source) {
    if (!db_) {
        return std::nullopt;
    }
    sqlite3_stmt* stmt = statements_.findSource.get();
    BindText(stmt, 1, root);
    BindText(stmt, 2, source);
    return FindOne(stmt);
}

std::optional<MirrorRow> MirrorJournal::FindOutput(std::string_view output) {
    if (!db_) {
        return std::nullopt;
    }
    sqlite3_stmt* stmt = statements_.findOutput.get();
    BindText(stmt, 1, output);
    return FindOne(stmt);
}

std::vector<MirrorRow> MirrorJournal::Rows() {
    std::vector<MirrorRow> rows;
    if (!db_) {
        return rows;
    }
    sqlite3_stmt* stmt = statements_.rows.get();
    while (Primary(sqlite3_step(stmt)) == SQLITE_ROW) {
        rows.push_back(ReadRow(stmt));
    }
    sqlite3_reset(stmt);
    return rows;
}

MirrorJournal::Batch::Batch(MirrorJournal& journal) : journal_(journal) {
    open_ = journal_.db_ && !journal_.inBatch_ &&
            Succeeded(Exec(journal_.db_.get(), "BEGIN IMMEDIATE"));
    journal_.inBatch_ = open_;
}

MirrorJournal::Batch::~Batch() {
    if (open_) {
        Exec(journal_.db_.get(), "ROLLBACK");
        journal_.inBatch_ = false;
    }
}

bool MirrorJournal::Batch::Commit() {
    if (!open_) {
        return false;
    }
    RunBeforeCommitHook();
    const int rc = Exec(journal_.db_.get(), "COMMIT");
    if (!Succeeded(rc)) {
        return false;
    }
    open_ = false;
    journal_.inBatch_ = false;
    return true;
}
