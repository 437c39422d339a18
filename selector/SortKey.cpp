#include "selector/SortKey.h"

#include <cwctype>

namespace {
wchar_t Escaped(unsigned char byte) {
    return static_cast<wchar_t>(0xDC00 + byte);
}

wchar_t Upper(char32_t code) {
    return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(code)));
}

// Decodes one character at text[i]; advances i past it.
wchar_t DecodeOne(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t code = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        ++i;
        return Upper(lead);
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, smallest = 0x10000;
    } else {
        ++i;
        return Escaped(lead);
    }
    if (i + length > text.size()) {
        ++i;
        return Escaped(lead);
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return Escaped(lead);
        }
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not characters.
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++i;
        return Escaped(lead);
    }
    i += length;
    return Upper(code);
}
} // namespace

std::wstring UpperSortKey(std::string_view utf8) {
    std::wstring key;
    key.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        key += DecodeOne(utf8, i);
    }
    return key;
}
