#pragma once
// One file of the list to convert. The options form's list shows caption and typeDescription
// and keeps fullPath for the job; the list form shows caption, sizeText and typeDescription.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/RowPart.h"

struct ConvertRow {
    std::string fullPath;
    std::string caption;         // the full path without its extension
    std::string extension;       // with its dot, as found
    std::string typeDescription; // GetFileTypeDescription of the extension
    std::uint64_t size = 0;      // 0 when the file cannot be read (it is listed all the same)
    std::string sizeText;        // FileSizeText(size)
    // The folder below the marked folder the file was collected from ("" or "a/b/"); "" for a
    // file ticked on its own. A job that keeps the folder tree puts the output there.
    std::string subFolder;
    // A track of a cue sheet: fullPath is its audio, caption the sheet's folder + "03 - Title",
    // sizeText its length, and part where it lies in the audio. A sheet that cannot be read is a
    // row of the sheet itself without a part, which the job fails with the sheet's error line.
    std::string sheetPath;
    std::optional<RowPart> part;
};
