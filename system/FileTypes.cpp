#include "system/FileTypes.h"

#include <strings.h>

#include <array>

#include "system/FileNames.h"
#include "system/Registry.h"

namespace {
// Indexed by ShownFileType.
constexpr std::array<const char*, ShownFileTypeCount> Extensions{".WAV", ".MP3", ".WMA"};
} // namespace

std::optional<ShownFileType> AudioFileTypeOf(std::string_view ext) {
    const std::string e(ext);
    if (e.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < Extensions.size(); ++i) {
        if (strcasecmp(e.c_str(), Extensions[i]) == 0) {
            return static_cast<ShownFileType>(i);
        }
    }
    return std::nullopt;
}

bool GetFileTypeDescription(std::string_view ext, std::string& text) {
    text.clear();
    if (!ext.empty()) {
        const std::string className = RegReadString(HKEY_CLASSES_ROOT, ext, "");
        if (!className.empty()) {
            text = RegReadString(HKEY_CLASSES_ROOT, className, "");
        }
    }
    if (!text.empty()) {
        return true;
    }
    text = ext.size() < 2 ? std::string("File") : UpperAscii(ext.substr(1)) + " File";
    return false;
}
