#include "engine/OutputClaims.h"

#include <sys/stat.h>

#include <filesystem>

std::string OutputClaims::Key(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return (ec ? std::filesystem::path(path) : absolute).lexically_normal().string();
}

std::optional<OutputClaims::FileId> OutputClaims::Identity(const std::string& path) {
    // The entry itself, not what a link points at: a replacement renames over the entry.
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return FileId{st.st_dev, st.st_ino};
}

std::optional<std::size_t> OutputClaims::Owner(const std::string& path) const {
    if (const auto it = byPath_.find(Key(path)); it != byPath_.end()) {
        return it->second;
    }
    if (const auto id = Identity(path)) {
        if (const auto it = byFile_.find(*id); it != byFile_.end()) {
            return it->second;
        }
    }
    return std::nullopt;
}

void OutputClaims::Claim(const std::string& path, std::size_t row) {
    if (Owner(path)) {
        return;
    }
    byPath_.emplace(Key(path), row);
    if (const auto id = Identity(path)) {
        byFile_.emplace(*id, row);
    }
}
