#pragma once
// One row of the selector's file list: an audio file of the selected folder, or a track of a cue
// sheet there. Its full path is the folder's path + caption + extension; a track's is its key
// (SheetTracks::TrackKey).
#include <cstdint>
#include <optional>
#include <string>

#include "selector/MarkState.h"

struct FileRow {
    std::string caption;         // the name without its extension
    std::string shownName;       // column "Name": the caption, with the extension when another
                                 // row has the same caption
    std::string extension;       // the extension as found, with its dot, e.g. ".Mp3"
    std::uint64_t size = 0;      // bytes; 0 when it cannot be read
    std::string sizeText;        // FileSizeText(size) (column "Size", right-aligned)
    std::string typeDescription; // GetFileTypeDescription of the extension (column "Type")
    int state = stNone;          // stFileConverted or stNone
    std::string sortName;        // NameOrder key of the caption, as the "Name" column sorts it
    // A track of a cue sheet (caption "03 - Title", sizeText its length "mm:ss"): the sheet's
    // file name, and the track's number. A sheet that cannot be read is one row of the sheet's
    // own name, with no number.
    std::string sheetName;
    std::optional<unsigned> track;
};

// The size as the lists show it: whole kilobytes + 1 for a file that is not empty ("%6luKB"),
// 0 for an empty one. Sizes are 64-bit; past 999,999 KB the text grows wider.
std::string FileSizeText(std::uint64_t size);
// The number FileSizeText shows.
std::uint64_t FileSizeKilobytes(std::uint64_t size);
