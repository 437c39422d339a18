#pragma once
// Cue sheets among the command line's inputs, each split into a row per track of its audio.
#include <optional>
#include <string>
#include <vector>

#include "cli/InputList.h"
#include "engine/RowPart.h"

struct SplitInputs {
    // Per path of CollectedInputs, the part of it its row converts; none: all of it.
    std::vector<std::optional<RowPart>> parts;
    // The errors list's lines of the sheets that cannot be split: nothing of them is converted.
    std::vector<std::string> failures;
};

// Puts the tracks of each sheet of inputs in its place, with charset the character set of sheets
// that are not UTF-8 (empty: recognised). An audio file that a sheet splits is not converted as a
// whole too.
SplitInputs SplitCueSheets(CollectedInputs& inputs, const std::string& charset);
