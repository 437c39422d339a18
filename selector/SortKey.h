#pragma once
// Names sort without regard to case: each is decoded from UTF-8 and upper-cased by the current
// locale's rules (std::towupper), then keys compare by character code. Bytes that are not valid
// UTF-8 (file names may hold any bytes) keep a code of their own, 0xDC80 + (byte - 0x80), and
// are not case-mapped.
#include <string>
#include <string_view>

std::wstring UpperSortKey(std::string_view utf8);

// -1, 0 or 1 as a is smaller than, equal to or greater than b.
template <typename T> int CompareKeys(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}
