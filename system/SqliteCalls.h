#pragma once
// The small pieces every SQLite file of the program is handled with: owning handles, result
// codes, prepared statements, the whole-file check, and the name a damaged file is set aside as.
#include <sqlite3.h>

#include <memory>
#include <string>
#include <string_view>

namespace sqlitecalls {

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;

struct StmtFinalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

inline int Primary(int rc) {
    return rc & 0xff;
}

inline bool Succeeded(int rc) {
    rc = Primary(rc);
    return rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW;
}

int Prepare(sqlite3* db, const char* sql, Stmt& stmt);
// Binds text; an empty view must still bind "" rather than NULL.
void BindText(sqlite3_stmt* stmt, int index, std::string_view text);
// Runs a statement that returns no rows.
int StepDone(sqlite3_stmt* stmt);
int Exec(sqlite3* db, const char* sql);
// SQLITE_CORRUPT when SQLite's own consistency check finds damage anywhere in the file.
int QuickCheck(sqlite3* db);
// "<path>.<word>-<local time>", numbered when that name (or its journal's) is taken.
std::string SetAsideName(const std::string& path, std::string_view word);

} // namespace sqlitecalls
