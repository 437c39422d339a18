#include "forms/ListedFile.h"

#include <cstdio>

#include "sources/FileTypes.h"
#include "system/FileNames.h"

ListedFile ListedFile::Of(const std::string& path) {
    ListedFile file;
    file.Caption = RemoveExtension(path);
    file.Extension = GetFileExtension(path);
    GetFileTypeDescription(file.Extension, file.TypeDescription);
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
