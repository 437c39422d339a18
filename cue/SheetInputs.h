#pragma once
// Albums among a job's inputs, each split into a row per track: cue sheets, and with
// splitEmbedded the FLAC files whose own cue sheet lists tracks. Both front ends split their
// inputs here.
#include <optional>
#include <string>
#include <vector>

#include "engine/RowPart.h"

struct SplitInputs {
    // Per path left in the inputs, the part of it its row converts; none: all of it.
    std::vector<std::optional<RowPart>> parts;
    // The errors list's lines of the albums that cannot be split: nothing of them is converted.
    std::vector<std::string> failures;
};

struct SheetChoices {
    // The character set of sheets that are not UTF-8; empty: recognised.
    std::string charset;
    // FLAC files are split by their own cue sheets.
    bool splitEmbedded = false;
};

// Puts the tracks of each album of paths in its place, with its sub-folder (subFolders, per
// path) repeated. An audio file that a cue sheet among the inputs splits is converted neither as
// a whole nor by its own sheet: the .cue file wins.
SplitInputs SplitAlbums(std::vector<std::string>& paths, std::vector<std::string>& subFolders,
                        const SheetChoices& choices);
