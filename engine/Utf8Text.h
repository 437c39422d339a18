#pragma once
// Reading names a character at a time: tag values and names come from files we did not write, so
// any byte may be there, and a name is only cut or counted between whole characters.
#include <cstddef>
#include <string_view>

struct Utf8Char {
    char32_t code;
    // 0 when the bytes at the place are no well-formed character (overlong, surrogate, cut off).
    std::size_t length;
};

Utf8Char DecodeUtf8(std::string_view text, std::size_t at);
