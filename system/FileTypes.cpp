#include "system/FileTypes.h"

#include <algorithm>

#include "catalog/FormatTable.h"
#include "catalog/InputNames.h"
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

ShownFileType CueSheetFileType() {
    const auto formats = Formats();
    return static_cast<ShownFileType>(std::ranges::count_if(formats, &FormatInfo::IsInput));
}

bool IsCueSheetType(std::string_view ext) {
    // The same text as cue/'s CueSheetExtension, which this layer is below.
    return UpperAscii(ext) == ".CUE";
}

std::optional<ShownFileType> ShownFileTypeOf(std::string_view ext) {
    if (IsCueSheetType(ext)) {
        return CueSheetFileType();
    }
    return AudioFileTypeOf(ext);
}

std::vector<std::string> ListedExtensionNames() {
    std::vector<std::string> names = InputExtensionNames();
    names.emplace_back(CueSheetKey);
    return names;
}

std::string ListedMimeTypeList() {
    return InputMimeTypeList() + "application/x-cue;";
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
