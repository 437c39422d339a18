#include "engine/SafeName.h"

#include <algorithm>
#include <array>

#include "engine/Utf8Text.h"

namespace {
constexpr std::size_t MaxPartUnits = 255;
constexpr std::string_view Forbidden = "<>:\"\\|?*";
constexpr std::array<std::string_view, 4> ReservedNames = {"CON", "PRN", "AUX", "NUL"};
constexpr std::array<std::string_view, 2> NumberedNames = {"COM", "LPT"};

bool SameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x >= 'a' && x <= 'z' ? x - 'a' + 'A' : x) == y;
           });
}

bool IsReserved(std::string_view stem) {
    const auto is = [stem](std::string_view name) { return SameLetters(stem, name); };
    if (std::any_of(ReservedNames.begin(), ReservedNames.end(), is)) {
        return true;
    }
    return stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9' &&
           std::any_of(NumberedNames.begin(), NumberedNames.end(), [stem](std::string_view name) {
               return SameLetters(stem.substr(0, 3), name);
           });
}

void DropTrailingDotsAndSpaces(std::string& part) {
    const std::size_t last = part.find_last_not_of(". ");
    part.erase(last == std::string::npos ? 0 : last + 1);
}

// Replaces what FAT refuses and cuts at maxUnits UTF-16 units.
std::string AllowedCharacters(std::string_view part, std::size_t maxUnits) {
    std::string allowed;
    std::size_t units = 0;
    for (std::size_t at = 0; at < part.size();) {
        const Utf8Char c = DecodeUtf8(part, at);
        const std::size_t charUnits = c.code >= 0x10000 ? 2 : 1;
        if (units + charUnits > maxUnits) {
            break;
        }
        units += charUnits;
        const bool refused =
            c.length == 0 || c.code < 0x20 || c.code == 0x7F ||
            (c.code < 0x80 && Forbidden.find(static_cast<char>(c.code)) != std::string_view::npos);
        if (refused) {
            allowed += '_';
            at += std::max<std::size_t>(c.length, 1);
        } else {
            allowed.append(part, at, c.length);
            at += c.length;
        }
    }
    return allowed;
}

std::string SafePart(std::string_view part, std::size_t maxUnits) {
    std::string safe(part);
    DropTrailingDotsAndSpaces(safe);
    const std::size_t stemEnd = std::min(safe.find('.'), safe.size());
    if (IsReserved(std::string_view(safe).substr(0, stemEnd))) {
        safe = safe.substr(0, stemEnd) + "_" + safe.substr(stemEnd);
    }
    safe = AllowedCharacters(safe, maxUnits);
    DropTrailingDotsAndSpaces(safe);
    return safe.empty() ? "_" : safe;
}
} // namespace

std::string SafeName(std::string_view relativePath, std::size_t extensionUnits) {
    const std::size_t lastUnits = MaxPartUnits - std::min(extensionUnits, MaxPartUnits - 1);
    std::string safe;
    std::size_t start = 0;
    while (start <= relativePath.size()) {
        const std::size_t slash = std::min(relativePath.find('/', start), relativePath.size());
        const std::string_view part = relativePath.substr(start, slash - start);
        if (!part.empty()) {
            safe += safe.empty() ? "" : "/";
            safe += SafePart(part, slash == relativePath.size() ? lastUnits : MaxPartUnits);
        }
        start = slash + 1;
    }
    return safe.empty() ? "_" : safe;
}
