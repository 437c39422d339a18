#include "system/SettingsDatabase.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <utility>

#include "system/FileNames.h"
#include "system/SpecialFiles.h"
#include "system/SqliteCalls.h"
#include "system/UniqueFd.h"

namespace {
using namespace sqlitecalls;

constexpr int SchemaVersion = 1;
// The files SQLite keeps beside a database.
constexpr const char* CompanionSuffixes[] = {"-journal", "-wal", "-shm"};

// A store that another process holds locked must not stall the program. A read waits at most
// ReadWaitMs for it, a write (which may queue behind other writers) WriteWaitMs; once an operation
// has given up, the next ones do not wait at all until one gets through again, so a run of reads
// costs a fraction of a second in all. While other processes keep committing, the store is busy
// rather than held, and an operation waits on for its turn, up to BusyWaitMs.
constexpr int ReadWaitMs = 250;
constexpr int WriteWaitMs = 1000;
constexpr int BusyWaitMs = 10000;
constexpr int BusyStepMs = 5;
// The longest stored data a message shows, in characters.
constexpr int ShownChars = 64;
std::atomic<bool> heldLocked = false;
std::atomic<bool> gaveUpWaiting = false;
std::atomic<int> busyWaitedMs = 0;

constexpr const char* SchemaSql = "BEGIN IMMEDIATE;"
                                  "CREATE TABLE IF NOT EXISTS reg_keys("
                                  " root INTEGER NOT NULL, path TEXT NOT NULL COLLATE NOCASE,"
                                  " PRIMARY KEY(root, path)) WITHOUT ROWID;"
                                  "CREATE TABLE IF NOT EXISTS reg_values("
                                  " root INTEGER NOT NULL, path TEXT NOT NULL COLLATE NOCASE,"
                                  " name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT NULL, data,"
                                  " PRIMARY KEY(root, path, name)) WITHOUT ROWID;"
                                  "PRAGMA user_version = 1;"
                                  "COMMIT;";

std::function<void()>& BeforeCommitHook() {
    static std::function<void()> hook;
    return hook;
}

int NoteBusy(int rc) {
    if (Primary(rc) == SQLITE_BUSY) {
        heldLocked = true;
        gaveUpWaiting = true;
    } else if (Succeeded(rc)) {
        heldLocked = false;
        busyWaitedMs = 0;
    }
    return rc;
}

// When the database file last changed: a commit of another process moves it on.
timespec ChangeTime(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_mtim : timespec{};
}

bool operator!=(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec || a.tv_nsec != b.tv_nsec;
}

// The file is not a database we can use at all, as opposed to busy, full or read-only.
bool Unusable(int rc) {
    rc = Primary(rc);
    return rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB || rc == SQLITE_CANTOPEN ||
           rc == SQLITE_PERM;
}

void BindKey(sqlite3_stmt* stmt, StoreRoot root, const std::string& key) {
    sqlite3_bind_int(stmt, 1, static_cast<int>(root));
    BindText(stmt, 2, key);
}

int InsertKeyAndParents(sqlite3* db, StoreRoot root, const std::string& key) {
    Stmt stmt;
    int rc = Prepare(db, "INSERT OR IGNORE INTO reg_keys(root, path) VALUES(?1, ?2)", stmt);
    for (std::size_t end = 0; Succeeded(rc) && end != std::string::npos;) {
        end = key.find('\\', end + 1);
        sqlite3_reset(stmt.get());
        BindKey(stmt.get(), root, key.substr(0, end));
        rc = StepDone(stmt.get());
    }
    return rc;
}

// Stores one value below a key that exists; an existing value keeps the spelling of its name.
int InsertValue(sqlite3* db, StoreRoot root, const std::string& key, std::string_view name,
                const SettingsDatabase::Value& value) {
    Stmt stmt;
    const int rc = Prepare(db,
                           "INSERT INTO reg_values(root, path, name, type, data) VALUES(?1, ?2, "
                           "?3, ?4, ?5) ON CONFLICT(root, path, name) DO UPDATE SET type = "
                           "excluded.type, data = excluded.data",
                           stmt);
    if (!Succeeded(rc)) {
        return rc;
    }
    BindKey(stmt.get(), root, key);
    BindText(stmt.get(), 3, name);
    sqlite3_bind_int(stmt.get(), 4, value.type);
    if (value.type == SettingsDatabase::RegDword) {
        sqlite3_bind_int64(stmt.get(), 5, value.dword);
    } else {
        BindText(stmt.get(), 5, value.text);
    }
    return StepDone(stmt.get());
}

// Removes a key, its values and the keys below it, from both tables.
int DeleteKeyRows(sqlite3* db, StoreRoot root, const std::string& key) {
    int rc = SQLITE_OK;
    for (const char* sql :
         {"DELETE FROM reg_values WHERE root = ?1 AND (path = ?2 OR substr(path, 1, length(?3)) "
          "= ?3 COLLATE NOCASE)",
          "DELETE FROM reg_keys WHERE root = ?1 AND (path = ?2 OR substr(path, 1, length(?3)) = "
          "?3 COLLATE NOCASE)"}) {
        Stmt stmt;
        rc = Prepare(db, sql, stmt);
        if (!Succeeded(rc)) {
            return rc;
        }
        BindKey(stmt.get(), root, key);
        BindText(stmt.get(), 3, key + '\\');
        rc = StepDone(stmt.get());
        if (!Succeeded(rc)) {
            return rc;
        }
    }
    return rc;
}

// Runs body in a write transaction: committed when it succeeds, else rolled back.
template <class Body> int InTransaction(sqlite3* db, Body body) {
    int rc = Exec(db, "BEGIN IMMEDIATE");
    if (Succeeded(rc)) {
        rc = body();
    }
    if (Succeeded(rc) && BeforeCommitHook()) {
        BeforeCommitHook()();
    }
    rc = Succeeded(rc) ? Exec(db, "COMMIT") : rc;
    if (!Succeeded(rc)) {
        Exec(db, "ROLLBACK");
    }
    return rc;
}

// A DWORD's data: a whole number of 32 bits, signed or not (as the bits of a signed number); any
// other data leaves it malformed rather than coerced. The type is asked first: reading the number
// may convert the data.
void ReadDword(sqlite3_stmt* stmt, int column, SettingsDatabase::Value& value) {
    const bool integer = sqlite3_column_type(stmt, column) == SQLITE_INTEGER;
    const sqlite3_int64 number = sqlite3_column_int64(stmt, column);
    value.malformed = !integer || number < INT32_MIN || number > UINT32_MAX;
    value.dword = value.malformed ? 0 : static_cast<uint32_t>(number);
}
} // namespace

SettingsDatabase::SettingsDatabase(std::string path) : path_(std::move(path)) {
    StartWaiting(ReadWaitMs);
    if (!OpenUsable()) {
        SetAsideIfStillUnusable();
        OpenUsable();
    }
}

bool SettingsDatabase::GaveUpWaiting() {
    return gaveUpWaiting;
}

int SettingsDatabase::BusyWaitedMs() {
    return busyWaitedMs;
}

void SettingsDatabase::StartWaiting(int limitMs) {
    wait_ = {limitMs, heldLocked ? 0 : limitMs, 0, 0, ChangeTime(path_)};
}

int SettingsDatabase::WaitWhileBusy(void* store, int) {
    Waiting& w = static_cast<SettingsDatabase*>(store)->wait_;
    if (const timespec changed = ChangeTime(static_cast<SettingsDatabase*>(store)->path_);
        changed != w.lastChange) {
        // Someone committed meanwhile: the store is in use, not held.
        w.lastChange = changed;
        w.limitMs = w.fullLimitMs;
        w.waitedMs = 0;
    }
    if (w.waitedMs >= w.limitMs || w.totalMs >= BusyWaitMs) {
        return 0;
    }
    sqlite3_sleep(BusyStepMs);
    w.waitedMs += BusyStepMs;
    w.totalMs += BusyStepMs;
    busyWaitedMs += BusyStepMs;
    return 1;
}

void SettingsDatabase::SetBeforeCommitHookForTesting(std::function<void()> hook) {
    BeforeCommitHook() = std::move(hook);
}

std::string SettingsDatabase::NormaliseKey(std::string_view key) {
    std::string result;
    std::size_t pos = 0;
    while (pos <= key.size()) {
        std::size_t sep = key.find('\\', pos);
        if (sep == std::string_view::npos) {
            sep = key.size();
        }
        if (sep > pos) {
            if (!result.empty()) {
                result += '\\';
            }
            result += key.substr(pos, sep - pos);
        }
        pos = sep + 1;
    }
    return result;
}

int SettingsDatabase::Open() {
    db_.reset();
    // SQLite would wait forever on a FIFO: such a database is set aside as a damaged one.
    if (path_.empty() || path_.find('\0') != std::string::npos || IsSpecialFile(path_)) {
        return SQLITE_CANTOPEN;
    }
    SetAsideSpecialCompanions();
    sqlite3* raw = nullptr;
    int rc =
        sqlite3_open_v2(path_.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    db_.reset(raw);
    if (!Succeeded(rc)) {
        return rc;
    }
    sqlite3_busy_handler(db_.get(), WaitWhileBusy, this);
    Stmt version;
    rc = Prepare(db_.get(), "PRAGMA user_version", version);
    if (!Succeeded(rc)) {
        return NoteBusy(rc);
    }
    rc = NoteBusy(sqlite3_step(version.get()));
    if (Primary(rc) != SQLITE_ROW) {
        return rc;
    }
    if (sqlite3_column_int(version.get(), 0) >= SchemaVersion) {
        return SQLITE_OK;
    }
    version.reset();
    rc = Exec(db_.get(), SchemaSql);
    if (!Succeeded(rc)) {
        Exec(db_.get(), "ROLLBACK");
    }
    return rc;
}

bool SettingsDatabase::OpenUsable() {
    const int rc = Open();
    if (Succeeded(rc)) {
        return true;
    }
    db_.reset();
    return !Unusable(rc);
}

// SQLite opens a journal, log or shared-memory file it finds beside the database, and would wait
// forever on a FIFO there. Not being a file, it holds nothing to recover: it alone is set aside.
void SettingsDatabase::SetAsideSpecialCompanions() const {
    for (const char* suffix : CompanionSuffixes) {
        const std::string companion = path_ + suffix;
        if (IsSpecialFile(companion)) {
            const std::string aside = SetAsideName(companion, "corrupt");
            if (std::rename(companion.c_str(), aside.c_str()) == 0) {
                TellSpecialFile(companion, "set aside as " + aside);
            }
        }
    }
}

void SettingsDatabase::SetAsideIfStillUnusable() {
    db_.reset();
    const std::string folder = GetFolderPart(path_);
    UniqueFd lock(open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!lock.Valid() || flock(lock.Get(), LOCK_EX) != 0) {
        return;
    }
    // Another process may have set the file aside and made a fresh one while we waited: check the
    // whole file as it is now.
    int rc = Open();
    if (Succeeded(rc)) {
        rc = QuickCheck(db_.get());
    }
    db_.reset();
    if (!Unusable(rc)) {
        return;
    }
    const std::string aside = SetAsideName(path_, "corrupt");
    const bool special = IsSpecialFile(path_);
    if (std::rename(path_.c_str(), aside.c_str()) != 0) {
        return;
    }
    if (special) {
        TellSpecialFile(path_, "set aside as " + aside + "; the settings start afresh");
    }
    // A journal belongs to its database: left behind it would be replayed into the fresh one.
    for (const char* suffix : CompanionSuffixes) {
        std::rename((path_ + suffix).c_str(), (aside + suffix).c_str());
    }
}

template <class Operation> int SettingsDatabase::Run(Operation operation, bool writes) {
    // Without a connection the constructor has already done what it could.
    if (!db_) {
        return SQLITE_ERROR;
    }
    StartWaiting(writes ? WriteWaitMs : ReadWaitMs);
    int rc = NoteBusy(operation());
    if (Unusable(rc)) {
        SetAsideIfStillUnusable();
        rc = OpenUsable() && db_ ? NoteBusy(operation()) : SQLITE_ERROR;
    }
    return rc;
}

int SettingsDatabase::ReadOnce(StoreRoot root, const std::string& key, std::string_view name,
                               std::optional<Value>& value) {
    value.reset();
    Stmt stmt;
    // SQLite writes the literal and cuts it, by characters rather than bytes.
    int rc = Prepare(db_.get(),
                     "SELECT type, data, CASE WHEN length(q) > ?4 THEN substr(q, 1, ?4 - 3) || "
                     "'...' ELSE q END FROM (SELECT type, data, quote(data) AS q FROM reg_values "
                     "WHERE root = ?1 AND path = ?2 AND name = ?3)",
                     stmt);
    if (!Succeeded(rc)) {
        return rc;
    }
    BindKey(stmt.get(), root, key);
    BindText(stmt.get(), 3, name);
    sqlite3_bind_int(stmt.get(), 4, ShownChars);
    rc = sqlite3_step(stmt.get());
    if (Primary(rc) != SQLITE_ROW) {
        return rc;
    }
    Value v;
    v.type = sqlite3_column_int(stmt.get(), 0) == RegDword ? RegDword : RegSz;
    if (v.type == RegDword) {
        ReadDword(stmt.get(), 1, v);
    } else {
        const auto* text = sqlite3_column_text(stmt.get(), 1);
        const int size = sqlite3_column_bytes(stmt.get(), 1);
        if (text) {
            v.text.assign(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size));
        }
    }
    if (const auto* shown = sqlite3_column_text(stmt.get(), 2)) {
        v.shown = reinterpret_cast<const char*>(shown);
    }
    value = std::move(v);
    return SQLITE_OK;
}

int SettingsDatabase::CreateKeyOnce(StoreRoot root, const std::string& key) {
    bool exists = false;
    int rc = KeyExistsOnce(root, key, exists);
    if (!Succeeded(rc) || exists) {
        return rc;
    }
    rc = Exec(db_.get(), "BEGIN IMMEDIATE");
    if (Succeeded(rc)) {
        rc = InsertKeyAndParents(db_.get(), root, key);
        rc = Succeeded(rc) ? Exec(db_.get(), "COMMIT") : rc;
    }
    if (!Succeeded(rc)) {
        Exec(db_.get(), "ROLLBACK");
    }
    return rc;
}

int SettingsDatabase::WriteOnce(StoreRoot root, const std::string& key, std::string_view name,
                                const Value& value) {
    return InTransaction(db_.get(), [&] {
        const int rc = InsertKeyAndParents(db_.get(), root, key);
        return Succeeded(rc) ? InsertValue(db_.get(), root, key, name, value) : rc;
    });
}

int SettingsDatabase::ValueExistsOnce(StoreRoot root, const std::string& key, std::string_view name,
                                      bool& exists) {
    exists = false;
    Stmt stmt;
    int rc = Prepare(db_.get(),
                     "SELECT 1 FROM reg_values WHERE root = ?1 AND path = ?2 AND name = ?3", stmt);
    if (!Succeeded(rc)) {
        return rc;
    }
    BindKey(stmt.get(), root, key);
    BindText(stmt.get(), 3, name);
    rc = sqlite3_step(stmt.get());
    exists = Primary(rc) == SQLITE_ROW;
    return rc;
}

int SettingsDatabase::KeyExistsOnce(StoreRoot root, const std::string& key, bool& exists) {
    exists = key.empty();
    if (exists) {
        return SQLITE_OK;
    }
    Stmt stmt;
    int rc = Prepare(db_.get(), "SELECT 1 FROM reg_keys WHERE root = ?1 AND path = ?2", stmt);
    if (!Succeeded(rc)) {
        return rc;
    }
    BindKey(stmt.get(), root, key);
    rc = sqlite3_step(stmt.get());
    exists = Primary(rc) == SQLITE_ROW;
    return rc;
}

int SettingsDatabase::SubKeysOnce(StoreRoot root, const std::string& key,
                                  std::vector<std::string>& names) {
    names.clear();
    Stmt stmt;
    // The prefix is "" for the root, else the key and its separator.
    int rc = Prepare(db_.get(),
                     "SELECT substr(path, length(?2) + 1) AS name FROM reg_keys WHERE root = ?1 "
                     "AND length(path) > length(?2) AND substr(path, 1, length(?2)) = ?2 "
                     "COLLATE NOCASE AND instr(substr(path, length(?2) + 1), '\\') = 0 "
                     "ORDER BY name COLLATE NOCASE",
                     stmt);
    if (!Succeeded(rc)) {
        return rc;
    }
    BindKey(stmt.get(), root, key.empty() ? key : key + '\\');
    while (Primary(rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        const auto* name = sqlite3_column_text(stmt.get(), 0);
        names.emplace_back(name ? reinterpret_cast<const char*>(name) : "");
    }
    return rc;
}

int SettingsDatabase::ReplaceKeyOnce(StoreRoot root, const std::string& key,
                                     const NamedValues* values) {
    return InTransaction(db_.get(), [&] {
        int rc = DeleteKeyRows(db_.get(), root, key);
        if (!values || !Succeeded(rc)) {
            return rc;
        }
        rc = InsertKeyAndParents(db_.get(), root, key);
        for (auto value = values->begin(); Succeeded(rc) && value != values->end(); ++value) {
            rc = InsertValue(db_.get(), root, key, value->first, value->second);
        }
        return rc;
    });
}

std::optional<SettingsDatabase::Value> SettingsDatabase::Read(StoreRoot root, std::string_view key,
                                                              std::string_view name) {
    const std::string k = NormaliseKey(key);
    std::optional<Value> value;
    Run([&] { return ReadOnce(root, k, name, value); });
    // Reading creates the key; a read-only store still answers the read.
    Run([&] { return CreateKeyOnce(root, k); });
    return value;
}

bool SettingsDatabase::Write(StoreRoot root, std::string_view key, std::string_view name,
                             const Value& value) {
    const std::string k = NormaliseKey(key);
    return Succeeded(Run([&] { return WriteOnce(root, k, name, value); }, true));
}

bool SettingsDatabase::ValueExists(StoreRoot root, std::string_view key, std::string_view name) {
    const std::string k = NormaliseKey(key);
    bool exists = false;
    Run([&] { return ValueExistsOnce(root, k, name, exists); });
    return exists;
}

bool SettingsDatabase::KeyExists(StoreRoot root, std::string_view key) {
    const std::string k = NormaliseKey(key);
    bool exists = false;
    Run([&] { return KeyExistsOnce(root, k, exists); });
    return exists;
}

std::vector<std::string> SettingsDatabase::SubKeys(StoreRoot root, std::string_view key) {
    const std::string k = NormaliseKey(key);
    std::vector<std::string> names;
    Run([&] { return SubKeysOnce(root, k, names); });
    return names;
}

bool SettingsDatabase::ReplaceKey(StoreRoot root, std::string_view key, const NamedValues& values) {
    const std::string k = NormaliseKey(key);
    return !k.empty() && Succeeded(Run([&] { return ReplaceKeyOnce(root, k, &values); }, true));
}

bool SettingsDatabase::DeleteKey(StoreRoot root, std::string_view key) {
    const std::string k = NormaliseKey(key);
    return !k.empty() && Succeeded(Run([&] { return ReplaceKeyOnce(root, k, nullptr); }, true));
}
