#include "selector/FileRow.h"

#include <cinttypes>
#include <cstdio>

std::uint64_t FileSizeKilobytes(std::uint64_t size) {
    return size == 0 ? 0 : size / 1024 + 1;
}

std::string FileSizeText(std::uint64_t size) {
    char text[32];
    std::snprintf(text, sizeof text, "%6" PRIu64 "KB", FileSizeKilobytes(size));
    return text;
}
