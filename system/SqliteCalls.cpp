#include "system/SqliteCalls.h"

#include <sys/stat.h>

#include <ctime>

namespace sqlitecalls {

int Prepare(sqlite3* db, const char* sql, Stmt& stmt) {
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql, -1, &raw, nullptr);
    stmt.reset(raw);
    return rc;
}

void BindText(sqlite3_stmt* stmt, int index, std::string_view text) {
    sqlite3_bind_text(stmt, index, text.empty() ? "" : text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

int StepDone(sqlite3_stmt* stmt) {
    const int rc = sqlite3_step(stmt);
    return Primary(rc) == SQLITE_DONE ? SQLITE_OK : rc;
}

int Exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

int QuickCheck(sqlite3* db) {
    Stmt stmt;
    int rc = Prepare(db, "PRAGMA quick_check(1)", stmt);
    if (!Succeeded(rc)) {
        return rc;
    }
    rc = sqlite3_step(stmt.get());
    if (Primary(rc) != SQLITE_ROW) {
        return rc;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
    return text && std::string_view(text) == "ok" ? SQLITE_OK : SQLITE_CORRUPT;
}

std::string SetAsideName(const std::string& path, std::string_view word) {
    char stamp[32] = {};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%S", &local);
    const std::string base = path + "." + std::string(word) + "-" + stamp;
    std::string name = base;
    struct stat st {};
    for (int n = 1; lstat(name.c_str(), &st) == 0 || lstat((name + "-journal").c_str(), &st) == 0;
         ++n) {
        name = base + "-" + std::to_string(n);
    }
    return name;
}

} // namespace sqlitecalls
