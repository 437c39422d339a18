#pragma once
// The per-user settings store: keys below two roots, each key holding named DWORD and string
// values. Key paths use '\' between key names. Key and value names compare without regard to
// (ASCII) case; the value name "" addresses the key's default value. Reading a value creates its
// key when missing; RegValueExists never creates anything. Failures are silent: a value that
// cannot be read reads as 0 or "", a value that cannot be written is not written.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

enum class RegRoot : int { ClassesRoot = 0, CurrentUser = 1 };
inline constexpr RegRoot HKEY_CLASSES_ROOT = RegRoot::ClassesRoot;
inline constexpr RegRoot HKEY_CURRENT_USER = RegRoot::CurrentUser;

// The settings key of this program below HKEY_CURRENT_USER.
inline constexpr std::string_view SettingsKey = "SOFTWARE\\Orvantis\\Brindlex 3";

// 0 when the value is missing or is not a DWORD.
uint32_t RegReadDword(RegRoot root, std::string_view subkey, std::string_view valueName);
void RegWriteDword(uint32_t value, RegRoot root, std::string_view subkey,
                   std::string_view valueName);
// "" when the value is missing, is not a string, or needs more than bufferSize bytes with its
// terminating zero (as a fixed buffer of that size would).
std::string RegReadString(RegRoot root, std::string_view subkey, std::string_view valueName,
                          std::size_t bufferSize = std::numeric_limits<std::size_t>::max());
// Stores text up to its first zero character, if any.
void RegWriteString(std::string_view text, RegRoot root, std::string_view subkey,
                    std::string_view valueName);
// True when the value exists with any type and content.
bool RegValueExists(RegRoot root, std::string_view subkey, std::string_view valueName);
// True when the key exists (the root itself always does).
bool RegKeyExists(RegRoot root, std::string_view subkey);

// True once a read or write of this process gave up because another process held the store
// locked: what it read were the defaults.
bool RegStoreWasLocked();

// The store's database file: ConfigFolder() + "registry.sqlite".
std::string RegistryPath();
