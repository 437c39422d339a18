#include "cli/TerminalText.h"

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {
struct Character {
    std::size_t offset;
    std::size_t bytes;
    std::size_t columns;
};

// The byte length of the UTF-8 character at text[i] and its code point; 1 and nothing for a
// byte that starts no valid character.
std::size_t DecodeOne(std::string_view text, std::size_t i, char32_t& code) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80         ? 1
                               : lead >> 5 == 0x6  ? 2
                               : lead >> 4 == 0xE  ? 3
                               : lead >> 3 == 0x1E ? 4
                                                   : 0;
    if (length == 0 || i + length > text.size()) {
        code = 0xFFFD;
        return 1;
    }
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if (next >> 6 != 0x2) {
            code = 0xFFFD;
            return 1;
        }
        code = code << 6 | (next & 0x3F);
    }
    return length;
}

std::size_t Columns(char32_t code) {
    const int width = wcwidth(static_cast<wchar_t>(code));
    return width < 0 ? 1 : static_cast<std::size_t>(width);
}

std::vector<Character> Characters(std::string_view text) {
    std::vector<Character> characters;
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = 0;
        const std::size_t bytes = DecodeOne(text, i, code);
        characters.push_back({i, bytes, Columns(code)});
        i += bytes;
    }
    return characters;
}

constexpr std::string_view Ellipsis = "...";
} // namespace

std::size_t DisplayWidth(std::string_view text) {
    std::size_t width = 0;
    for (const Character& c : Characters(text)) {
        width += c.columns;
    }
    return width;
}

std::string KeepEnd(std::string_view text, std::size_t columns) {
    if (DisplayWidth(text) <= columns) {
        return std::string(text);
    }
    const std::vector<Character> characters = Characters(text);
    std::size_t room = columns > Ellipsis.size() ? columns - Ellipsis.size() : 0;
    std::size_t start = text.size();
    for (auto it = characters.rbegin(); it != characters.rend() && it->columns <= room; ++it) {
        room -= it->columns;
        start = it->offset;
    }
    return std::string(Ellipsis.substr(0, columns)) + std::string(text.substr(start));
}

std::string KeepStart(std::string_view text, std::size_t columns) {
    std::size_t room = columns;
    std::size_t end = 0;
    for (const Character& c : Characters(text)) {
        if (c.columns > room) {
            break;
        }
        room -= c.columns;
        end = c.offset + c.bytes;
    }
    return std::string(text.substr(0, end));
}

std::string ShortDuration(int32_t seconds) {
    if (seconds < 0) {
        seconds = 0;
    }
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    } else {
        std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    }
    return text;
}
