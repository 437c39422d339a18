#include "system/Registry.h"

#include "system/AppPaths.h"
#include "system/SRegistryStore.h"

// Each call opens the store and closes it again: no state is kept between calls, so several
// processes (and forked children) share the file safely.

namespace {
std::optional<SRegistryStore::Value> Read(RegRoot root, std::string_view subkey,
                                          std::string_view valueName) {
    const std::string path = RegistryPath();
    if (path.empty()) {
        return std::nullopt;
    }
    return SRegistryStore(path).Read(root, subkey, valueName);
}

void Write(RegRoot root, std::string_view subkey, std::string_view valueName,
           const SRegistryStore::Value& value) {
    const std::string path = RegistryPath();
    if (!path.empty()) {
        SRegistryStore(path).Write(root, subkey, valueName, value);
    }
}
} // namespace

std::string RegistryPath() {
    const std::string folder = ConfigFolder();
    return folder.empty() ? std::string() : folder + "registry.sqlite";
}

uint32_t RegReadDword(RegRoot root, std::string_view subkey, std::string_view valueName) {
    const auto value = Read(root, subkey, valueName);
    // A value of another type is not a number: it reads as 0 like any unreadable value.
    return value && value->type == SRegistryStore::RegDword ? value->dword : 0;
}

void RegWriteDword(uint32_t value, RegRoot root, std::string_view subkey,
                   std::string_view valueName) {
    SRegistryStore::Value v;
    v.type = SRegistryStore::RegDword;
    v.dword = value;
    Write(root, subkey, valueName, v);
}

std::string RegReadString(RegRoot root, std::string_view subkey, std::string_view valueName,
                          std::size_t bufferSize) {
    const auto value = Read(root, subkey, valueName);
    if (!value || value->type != SRegistryStore::RegSz || value->text.size() >= bufferSize) {
        return {};
    }
    return value->text;
}

void RegWriteString(std::string_view text, RegRoot root, std::string_view subkey,
                    std::string_view valueName) {
    SRegistryStore::Value v;
    v.type = SRegistryStore::RegSz;
    v.text = text.substr(0, text.find('\0'));
    Write(root, subkey, valueName, v);
}

bool RegValueExists(RegRoot root, std::string_view subkey, std::string_view valueName) {
    const std::string path = RegistryPath();
    return !path.empty() && SRegistryStore(path).ValueExists(root, subkey, valueName);
}

bool RegKeyExists(RegRoot root, std::string_view subkey) {
    const std::string path = RegistryPath();
    return !path.empty() && SRegistryStore(path).KeyExists(root, subkey);
}

bool RegStoreWasLocked() {
    return SRegistryStore::GaveUpWaiting();
}
