#include "catalog/FormatTable.h"

#include <strings.h>

#include <algorithm>
#include <array>

namespace {
bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool Holds(std::span<const std::string_view> extensions, std::string_view ext) {
    return std::ranges::any_of(extensions, [&](std::string_view e) { return SameText(e, ext); });
}

template <class Pred> const FormatInfo* FindWhere(Pred pred) {
    const auto formats = Formats();
    const auto it = std::ranges::find_if(formats, pred);
    return it == formats.end() ? nullptr : &*it;
}
} // namespace

const FormatInfo* FindTargetFormat(uint8_t number) {
    return FindWhere([&](const FormatInfo& f) { return f.Number == number; });
}

const FormatInfo* FindTargetFormat(std::string_view key) {
    return FindWhere([&](const FormatInfo& f) { return f.IsTarget() && SameText(f.Key, key); });
}

const FormatInfo* FindInputFormat(std::string_view ext) {
    // A name with a zero byte in it names no file type.
    if (ext.find('\0') != std::string_view::npos) {
        return nullptr;
    }
    return FindWhere([&](const FormatInfo& f) { return Holds(f.InputExtensions, ext); });
}

const FormatInfo* FindReadFormat(std::string_view ext) {
    if (const FormatInfo* format = FindInputFormat(ext)) {
        return format;
    }
    return FindWhere([&](const FormatInfo& f) { return Holds(f.AlsoReadExtensions, ext); });
}
