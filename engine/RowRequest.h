#pragma once
// One row handed to a converter: its input (or the part of it the row converts), its output and
// whether a file found at the output may be replaced (the user agreed to replace it, or any).
#include <optional>
#include <string>

#include "engine/RowPart.h"

struct RowRequest {
    std::string Input;
    std::string Output;
    bool MayReplace = false;
    // None: the whole input.
    std::optional<RowPart> Part = {};
};
