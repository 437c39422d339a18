#include "system/SettingsStore.h"

#include "system/AppPaths.h"
#include "system/SettingsDatabase.h"

// Each call opens the store and closes it again: no state is kept between calls, so several
// processes (and forked children) share the file safely.

namespace {
std::optional<SettingsDatabase::Value> Read(StoreRoot root, std::string_view subkey,
                                            std::string_view valueName) {
    const std::string path = SettingsStorePath();
    if (path.empty()) {
        return std::nullopt;
    }
    return SettingsDatabase(path).Read(root, subkey, valueName);
}

void Write(StoreRoot root, std::string_view subkey, std::string_view valueName,
           const SettingsDatabase::Value& value) {
    const std::string path = SettingsStorePath();
    if (!path.empty()) {
        SettingsDatabase(path).Write(root, subkey, valueName, value);
    }
}
} // namespace

std::string SettingsStorePath() {
    const std::string folder = ConfigFolder();
    return folder.empty() ? std::string() : folder + "registry.sqlite";
}

uint32_t StoreReadNumber(StoreRoot root, std::string_view subkey, std::string_view valueName) {
    // A value of another type is not a number: it reads as 0 like any unreadable value.
    return StoreReadNumberAsStored(root, subkey, valueName).Number.value_or(0);
}

StoreNumber StoreReadNumberAsStored(StoreRoot root, std::string_view subkey,
                                    std::string_view valueName) {
    const auto value = Read(root, subkey, valueName);
    if (!value) {
        return {};
    }
    const bool number = value->type == SettingsDatabase::RegDword && !value->malformed;
    return {true, number ? std::optional(value->dword) : std::nullopt, value->shown};
}

void StoreWriteNumber(uint32_t value, StoreRoot root, std::string_view subkey,
                      std::string_view valueName) {
    SettingsDatabase::Value v;
    v.type = SettingsDatabase::RegDword;
    v.dword = value;
    Write(root, subkey, valueName, v);
}

std::string StoreReadText(StoreRoot root, std::string_view subkey, std::string_view valueName,
                          std::size_t bufferSize) {
    const auto value = Read(root, subkey, valueName);
    if (!value || value->type != SettingsDatabase::RegSz || value->text.size() >= bufferSize) {
        return {};
    }
    return value->text;
}

void StoreWriteText(std::string_view text, StoreRoot root, std::string_view subkey,
                    std::string_view valueName) {
    SettingsDatabase::Value v;
    v.type = SettingsDatabase::RegSz;
    v.text = text.substr(0, text.find('\0'));
    Write(root, subkey, valueName, v);
}

bool StoreValueExists(StoreRoot root, std::string_view subkey, std::string_view valueName) {
    const std::string path = SettingsStorePath();
    return !path.empty() && SettingsDatabase(path).ValueExists(root, subkey, valueName);
}

bool StoreKeyExists(StoreRoot root, std::string_view subkey) {
    const std::string path = SettingsStorePath();
    return !path.empty() && SettingsDatabase(path).KeyExists(root, subkey);
}

bool StoreReplaceKey(StoreRoot root, std::string_view subkey,
                     const std::vector<StoreEntry>& values) {
    SettingsDatabase::NamedValues stored;
    for (const StoreEntry& entry : values) {
        SettingsDatabase::Value v;
        v.type = entry.Number ? SettingsDatabase::RegDword : SettingsDatabase::RegSz;
        v.dword = entry.Number.value_or(0);
        v.text = entry.Text.substr(0, entry.Text.find('\0'));
        stored.emplace_back(entry.Name, std::move(v));
    }
    const std::string path = SettingsStorePath();
    return !path.empty() && SettingsDatabase(path).ReplaceKey(root, subkey, stored);
}

bool StoreDeleteKey(StoreRoot root, std::string_view subkey) {
    const std::string path = SettingsStorePath();
    return !path.empty() && SettingsDatabase(path).DeleteKey(root, subkey);
}

std::vector<std::string> StoreSubKeys(StoreRoot root, std::string_view subkey) {
    const std::string path = SettingsStorePath();
    return path.empty() ? std::vector<std::string>() : SettingsDatabase(path).SubKeys(root, subkey);
}

bool StoreWasLocked() {
    return SettingsDatabase::GaveUpWaiting();
}
