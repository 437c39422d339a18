#pragma once
// One connection to the settings database, an SQLite file. Every change runs in its own
// transaction (a process killed mid-write leaves the previous values), concurrent writers wait for
// each other (but a store that another program holds locked costs a process a fraction of a second
// in all: its operations then fail as if the values were missing), and a file that is not a
// readable database is set aside as "<file>.corrupt-<time>" and replaced by a fresh one, so it
// reads as empty and later writes stay. So is a database that is not a regular file (a FIFO, a
// device), and a journal beside it that is not one is set aside alone; both are said on standard
// error.
#include <sqlite3.h>
#include <time.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "system/SettingsStore.h"
#include "system/SqliteCalls.h"

class SettingsDatabase {
public:
    enum ValueType : int { RegSz = 1, RegDword = 4 };
    struct Value {
        ValueType type = RegSz;
        std::string text;
        // 0 in a DWORD whose data is no whole number of 32 bits (text, a blob, NULL, a real, a
        // wider integer); malformed tells it from a stored 0.
        uint32_t dword = 0;
        bool malformed = false;
        // As read: the data as SQL writes it ('abc', X'00FF', NULL, 1.0e+308), for messages; a
        // long one is cut short with "...".
        std::string shown;
    };
    using NamedValues = std::vector<std::pair<std::string, Value>>;

    explicit SettingsDatabase(std::string path);
    SettingsDatabase(const SettingsDatabase&) = delete;
    SettingsDatabase& operator=(const SettingsDatabase&) = delete;

    // The value, or nothing; creates the key (and the keys above it) when missing.
    std::optional<Value> Read(StoreRoot root, std::string_view key, std::string_view name);
    // Creates the key when missing and stores the value; false when it could not be stored.
    bool Write(StoreRoot root, std::string_view key, std::string_view name, const Value& value);
    bool ValueExists(StoreRoot root, std::string_view key, std::string_view name);
    bool KeyExists(StoreRoot root, std::string_view key);
    // The names of the keys right below key, spelled as first stored, in order of name.
    std::vector<std::string> SubKeys(StoreRoot root, std::string_view key);
    // In one transaction: removes the key with its values and the keys below it, then stores it
    // anew holding these values; false when nothing changed.
    bool ReplaceKey(StoreRoot root, std::string_view key, const NamedValues& values);
    // Removes the key with its values and the keys below it; false when it could not.
    bool DeleteKey(StoreRoot root, std::string_view key);

    // True once an operation of this process gave up on a store that another one held locked.
    static bool GaveUpWaiting();
    // What the current run of busy waits has cost so far, in milliseconds of sleeping.
    static int BusyWaitedMs();

    // Key names joined by single '\', without leading or trailing ones.
    static std::string NormaliseKey(std::string_view key);
    // Runs inside every write transaction just before it commits; tests kill the process there.
    static void SetBeforeCommitHookForTesting(std::function<void()> hook);

private:
    int Open();
    bool OpenUsable();
    void SetAsideIfStillUnusable();
    void SetAsideSpecialCompanions() const;
    template <class Operation> int Run(Operation operation, bool writes = false);
    static int WaitWhileBusy(void* store, int count);

    int ReadOnce(StoreRoot root, const std::string& key, std::string_view name,
                 std::optional<Value>& value);
    int CreateKeyOnce(StoreRoot root, const std::string& key);
    int WriteOnce(StoreRoot root, const std::string& key, std::string_view name,
                  const Value& value);
    int ValueExistsOnce(StoreRoot root, const std::string& key, std::string_view name,
                        bool& exists);
    int KeyExistsOnce(StoreRoot root, const std::string& key, bool& exists);
    int SubKeysOnce(StoreRoot root, const std::string& key, std::vector<std::string>& names);
    int ReplaceKeyOnce(StoreRoot root, const std::string& key, const NamedValues* values);

    std::string path_;
    sqlitecalls::Db db_;
    // How long the current operation may wait for a store held locked, and has waited.
    struct Waiting {
        int fullLimitMs = 0;
        int limitMs = 0;
        int waitedMs = 0;
        int totalMs = 0;
        timespec lastChange{};
    };
    void StartWaiting(int limitMs);
    Waiting wait_;
};
