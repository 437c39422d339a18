#pragma once
// GetFileTypeDescription reads the settings store, which costs a database open per call; a
// folder of thousands of files has only a few extensions. Keep one cache for the length of one
// listing, so a change in the store shows at the next one.
#include <string>
#include <string_view>
#include <unordered_map>

class TypeDescriptionCache {
public:
    // GetFileTypeDescription(ext); extensions that differ only in letter case share an entry,
    // as they share the store's key.
    const std::string& Describe(std::string_view ext);

private:
    std::unordered_map<std::string, std::string> byExtension_;
};
