#pragma once
// What a row of the conversion lists shows for one input file: the path without its extension as
// the caption, the type's display name, the extension as found, and the size text.
#include <cstdint>
#include <string>

struct ListedFile {
    std::string Caption;         // the full path without its extension
    std::string TypeDescription; // "MP3 File" and the like
    std::string Extension;       // as found, with its dot
    std::string FullPath;

    // The type's description is looked up once per extension (any letter case) per process.
    static ListedFile Of(const std::string& path);
};

// "%6dKB" of the size in whole kilobytes, rounded up for any non-empty file; the size is taken as
// a 32-bit number, as the list has always shown it.
std::string FileSizeText(uint64_t size);
