#include "selector/SelectorSettings.h"

#include <cctype>
#include <cstdint>
#include <string_view>

#include "catalog/FormatTable.h"
#include "system/SettingsStore.h"

namespace {
constexpr std::string_view ShowHidden = "BrShowHiddenFolders";
constexpr std::string_view Divider = "BrSelectorDivider";
constexpr std::array<std::string_view, 2> ListColumns{"BrSelectorSizeWidth", "BrSelectorTypeWidth"};
constexpr std::array<std::string_view, 2> FileListColumns{"BrFileListSizeWidth",
                                                          "BrFileListTypeWidth"};

// "BrConvFromMp3" for the box of the format whose key is "mp3".
std::string TypeBoxName(std::string_view formatKey) {
    std::string name = "BrConvFrom" + std::string(formatKey);
    name[10] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[10])));
    return name;
}

int ReadPixels(std::string_view name) {
    const std::uint32_t value = StoreReadNumber(StoreRoot::User, SettingsKey, name);
    return value <= static_cast<std::uint32_t>(SelectorSettings::MaxPixels)
               ? static_cast<int>(value)
               : 0;
}

void WritePixels(std::string_view name, int value) {
    const bool sensible = value > 0 && value <= SelectorSettings::MaxPixels;
    StoreWriteNumber(sensible ? static_cast<std::uint32_t>(value) : 0, StoreRoot::User, SettingsKey,
                     name);
}
} // namespace

SelectorSettings SelectorSettings::Load() {
    SelectorSettings settings;
    settings.showHiddenFolders = StoreReadNumber(StoreRoot::User, SettingsKey, ShowHidden) != 0;
    settings.dividerLeft = ReadPixels(Divider);
    for (std::size_t i = 0; i < ListColumns.size(); ++i) {
        settings.listColumns[i] = ReadPixels(ListColumns[i]);
        settings.fileListColumns[i] = ReadPixels(FileListColumns[i]);
    }
    for (const FormatInfo& format : Formats()) {
        if (format.IsInput() &&
            StoreReadNumberAsStored(StoreRoot::User, SettingsKey, TypeBoxName(format.Key)).Number ==
                0u) {
            settings.untickedTypeBoxes.emplace(format.Key);
        }
    }
    return settings;
}

void SelectorSettings::SaveSelectorView() const {
    StoreWriteNumber(showHiddenFolders ? 1 : 0, StoreRoot::User, SettingsKey, ShowHidden);
    WritePixels(Divider, dividerLeft);
    for (std::size_t i = 0; i < ListColumns.size(); ++i) {
        WritePixels(ListColumns[i], listColumns[i]);
    }
    for (const FormatInfo& format : Formats()) {
        if (format.IsInput()) {
            StoreWriteNumber(untickedTypeBoxes.contains(format.Key) ? 0 : 1, StoreRoot::User,
                             SettingsKey, TypeBoxName(format.Key));
        }
    }
}

void SelectorSettings::SaveFileListColumns() const {
    for (std::size_t i = 0; i < FileListColumns.size(); ++i) {
        WritePixels(FileListColumns[i], fileListColumns[i]);
    }
}
