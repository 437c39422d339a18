#pragma once
// The per-user settings store: keys below two roots, each key holding named DWORD and string
// values. Key paths use '\' between key names. Key and value names compare without regard to
// (ASCII) case; the value name "" addresses the key's default value. Reading a value creates its
// key when missing; StoreValueExists never creates anything. Failures are silent: a value that
// cannot be read reads as 0 or "", a value that cannot be written is not written.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The two roots: the file types (MIME and shell-verb data) and the user's own settings. Their
// numbers are stored in the database.
enum class StoreRoot : int { FileTypes = 0, User = 1 };

// The settings key of this program below StoreRoot::User.
inline constexpr std::string_view SettingsKey = "SOFTWARE\\Orvantis\\Brindlex 3";

// 0 when the value is missing or is not a DWORD of 32 bits.
uint32_t StoreReadNumber(StoreRoot root, std::string_view subkey, std::string_view valueName);
// A value read as a number, telling what is stored: nothing, a DWORD, or anything else (another
// type, or data that is no whole number of 32 bits).
struct StoreNumber {
    bool Exists = false;
    std::optional<uint32_t> Number; // when it is a DWORD
    // What is stored, as SQL writes it ('abc', X'00FF', NULL, 1.0e+308, 7), for messages.
    std::string Shown;
};
StoreNumber StoreReadNumberAsStored(StoreRoot root, std::string_view subkey,
                                    std::string_view valueName);
void StoreWriteNumber(uint32_t value, StoreRoot root, std::string_view subkey,
                      std::string_view valueName);
// "" when the value is missing, is not a string, or needs more than bufferSize bytes with its
// terminating zero (as a fixed buffer of that size would).
std::string StoreReadText(StoreRoot root, std::string_view subkey, std::string_view valueName,
                          std::size_t bufferSize = std::numeric_limits<std::size_t>::max());
// Stores text up to its first zero character, if any.
void StoreWriteText(std::string_view text, StoreRoot root, std::string_view subkey,
                    std::string_view valueName);
// True when the value exists with any type and content.
bool StoreValueExists(StoreRoot root, std::string_view subkey, std::string_view valueName);
// True when the key exists (the root itself always does).
bool StoreKeyExists(StoreRoot root, std::string_view subkey);

// A value to store as a group: a DWORD when it has a number, else a string.
struct StoreEntry {
    std::string Name;
    std::optional<uint32_t> Number;
    std::string Text;
};
// Replaces the key, with its values and the keys below it, by one holding these values, all in
// one change; false when nothing changed.
bool StoreReplaceKey(StoreRoot root, std::string_view subkey,
                     const std::vector<StoreEntry>& values);
// Removes the key with its values and the keys below it; false when it could not.
bool StoreDeleteKey(StoreRoot root, std::string_view subkey);
// The names of the keys right below the key, spelled as first stored, in order of name.
std::vector<std::string> StoreSubKeys(StoreRoot root, std::string_view subkey);

// True once a read or write of this process gave up because another process held the store
// locked: what it read were the defaults.
bool StoreWasLocked();

// The store's database file: ConfigFolder() + "registry.sqlite".
std::string SettingsStorePath();
