#pragma once
// Why a naming pattern was refused and where: the byte offset into the pattern's text.
#include <cstddef>
#include <string>

struct NamePatternError {
    std::string pattern;
    std::size_t offset;
    std::string problem;

    // "Naming pattern '<pattern>': <problem> at byte <offset>."
    std::string Message() const;
};
