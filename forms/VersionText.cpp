#include "forms/VersionText.h"

#include <charconv>
#include <cstdint>
#include <cstdio>

namespace {
// Reads a number of 0 to 65535 at the start of text, and moves text past it.
bool ReadPart(std::string_view& text, unsigned& value) {
    const char* end = text.data() + text.size();
    const auto [next, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || next == text.data() || value > UINT16_MAX) {
        return false;
    }
    text.remove_prefix(static_cast<std::size_t>(next - text.data()));
    return true;
}
} // namespace

bool FormatVersionText(std::string_view version, std::string* text) {
    if (text) {
        text->clear();
    }
    unsigned major = 0;
    unsigned minor = 0;
    if (!ReadPart(version, major) || !version.starts_with('.')) {
        return false;
    }
    version.remove_prefix(1);
    if (!ReadPart(version, minor) || !(version.empty() || version.starts_with('.'))) {
        return false;
    }
    if (text) {
        char line[32];
        std::snprintf(line, sizeof line, "%u  r%u", major, minor);
        *text = line;
    }
    return true;
}

bool GetVersionText(std::string* text) {
    return FormatVersionText(BMC_VERSION, text);
}
