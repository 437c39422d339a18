#include "selector/TypeDescriptionCache.h"

#include "system/FileNames.h"
#include "system/FileTypes.h"

const std::string& TypeDescriptionCache::Describe(std::string_view ext) {
    auto [entry, added] = byExtension_.try_emplace(UpperAscii(ext));
    if (added) {
        GetFileTypeDescription(ext, entry->second);
    }
    return entry->second;
}
