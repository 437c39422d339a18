#include "system/FileTypes.h"

#include "catalog/FormatTable.h"
#include "system/FileNames.h"
#include "system/SettingsStore.h"

std::optional<ShownFileType> AudioFileTypeOf(std::string_view ext) {
    const FormatInfo* found = FindInputFormat(ext);
    if (!found) {
        return std::nullopt;
    }
    std::size_t type = 0;
    for (const FormatInfo& format : Formats()) {
        if (&format == found) {
            return static_cast<ShownFileType>(type);
        }
        type += format.IsInput() ? 1 : 0;
    }
    return std::nullopt;
}

bool GetFileTypeDescription(std::string_view ext, std::string& text) {
    text.clear();
    if (!ext.empty()) {
        const std::string className = StoreReadText(StoreRoot::FileTypes, ext, "");
        if (!className.empty()) {
            text = StoreReadText(StoreRoot::FileTypes, className, "");
        }
    }
    if (!text.empty()) {
        return true;
    }
    text = ext.size() < 2 ? std::string("File") : UpperAscii(ext.substr(1)) + " File";
    return false;
}
