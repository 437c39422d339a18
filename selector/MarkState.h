#pragma once
// The marks shown in front of folders and files. A mark is the index of its picture in the
// selector's list of eight state images, so the numbers are fixed: index 0 and 7 are pictures
// that no folder or file shows (an empty box and a red cross).
#include <array>
#include <string_view>

enum MarkState : int {
    stNone = 1,          // empty box: nothing marked here
    stToSelected = 2,    // folder: something below it is marked
    stContainsFiles = 3, // folder: holds files marked one by one
    stJustFiles = 4,     // folder: its own files are converted, its sub-folders not
    stFully = 5,         // folder: its files and those of all its sub-folders are converted
    stFileConverted = 6, // file: will be converted
};
inline constexpr int StateImageCount = 8;

// The key bar's six pictures, left to right; each is followed by MarkCaption of its mark.
inline constexpr std::array<int, 6> KeyBarStates{stToSelected, stContainsFiles, stFully,
                                                 stJustFiles,  stFileConverted, stNone};

// The key's caption of a mark, e.g. "This File will be Converted"; "" for 0, 7 and anything else.
// The view gives every tree node and file row MarkCaption(its state) as its accessible
// description; a folder showing stNone reads "File Will not be Converted", as the key does.
std::string_view MarkCaption(int state);
