#include "selector/TypeDescriptionCache.h"

#include "sources/FileTypes.h"

namespace {
std::string UpperAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return result;
}
} // namespace

const std::string& TypeDescriptionCache::Describe(std::string_view ext) {
    auto [entry, added] = byExtension_.try_emplace(UpperAscii(ext));
    if (added) {
        GetFileTypeDescription(ext, entry->second);
    }
    return entry->second;
}
