#pragma once
// One row handed to a converter: its input, its output and whether a file found at the output may
// be replaced (the user agreed to replace it, or any).
#include <string>

struct RowRequest {
    std::string Input;
    std::string Output;
    bool MayReplace = false;
};
