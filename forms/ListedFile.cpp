#include "forms/ListedFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

#include "sources/FileTypes.h"
#include "system/FileNames.h"

namespace {
// A description reads the settings store; a list of ten thousand files has a handful of types.
const std::string& TypeDescriptionOf(const std::string& ext) {
    static std::map<std::string, std::string> descriptions;
    std::string key = ext;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    auto found = descriptions.find(key);
    if (found == descriptions.end()) {
        std::string description;
        GetFileTypeDescription(ext, description);
        found = descriptions.emplace(std::move(key), std::move(description)).first;
    }
    return found->second;
}
} // namespace

ListedFile ListedFile::Of(const std::string& path) {
    ListedFile file;
    file.Caption = RemoveExtension(path);
    file.Extension = GetFileExtension(path);
    file.TypeDescription = TypeDescriptionOf(file.Extension);
    file.FullPath = path;
    return file;
}

std::string FileSizeText(uint64_t size) {
    const auto size32 = static_cast<uint32_t>(size);
    const uint32_t kilobytes = size32 == 0 ? 0 : size32 / 1024 + 1;
    char text[32];
    std::snprintf(text, sizeof text, "%6uKB", kilobytes);
    return text;
}
