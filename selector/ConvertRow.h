#pragma once
// One file of the list to convert. The options form's list shows caption and typeDescription
// and keeps fullPath for the job; the list form shows caption, sizeText and typeDescription.
#include <cstdint>
#include <string>

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
};
