#include "sources/FileTypes.h"

#include <strings.h>

#include <array>
#include <atomic>

#include "system/FileNames.h"
#include "system/Registry.h"

namespace {
struct ShownEntry {
    const char* extension;
    std::atomic<bool> shown;
};

std::array<ShownEntry, ShownFileTypeCount>& ShownTable() {
    static std::array<ShownEntry, ShownFileTypeCount> table{
        {{".WAV", true}, {".MP3", true}, {".WMA", true}}};
    return table;
}
} // namespace

bool IsShownFileType(std::string_view ext) {
    const std::string e(ext);
    if (e.find('\0') != std::string::npos) {
        return false;
    }
    for (const ShownEntry& entry : ShownTable()) {
        if (entry.shown && strcasecmp(e.c_str(), entry.extension) == 0) {
            return true;
        }
    }
    return false;
}

void SetShownFileType(ShownFileType entry, bool shown) {
    if (entry < ShownFileTypeCount) {
        ShownTable()[entry].shown = shown;
    }
}

bool GetShownFileType(ShownFileType entry) {
    return entry < ShownFileTypeCount && ShownTable()[entry].shown;
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
