#include "app/FirstRunHelp.h"

#include <string_view>

#include "system/HelpPages.h"
#include "system/Registry.h"

namespace {
constexpr std::string_view ShownHelp = "ShownConvHelp";
constexpr std::string_view ShownVersionChanges = "ShownConvVerChgsr1";

std::string Open(const DocumentOpener& open, const std::string& appFolder, std::string_view page) {
    // Without a folder of our own there is no page to show.
    if (appFolder.empty()) {
        return {};
    }
    const std::string path = appFolder + std::string(page);
    if (open) {
        open(path);
    }
    return path;
}
} // namespace

std::string ShowFirstRunHelp(const DocumentOpener& open, const std::string& appFolder) {
    if (!RegValueExists(HKEY_CURRENT_USER, SettingsKey, ShownHelp)) {
        // The help covers what the changes page says, so both count as shown.
        RegWriteDword(0, HKEY_CURRENT_USER, SettingsKey, ShownHelp);
        RegWriteDword(0, HKEY_CURRENT_USER, SettingsKey, ShownVersionChanges);
        return Open(open, appFolder, HelpPage);
    }
    if (!RegValueExists(HKEY_CURRENT_USER, SettingsKey, ShownVersionChanges)) {
        RegWriteDword(0, HKEY_CURRENT_USER, SettingsKey, ShownVersionChanges);
        return Open(open, appFolder, VersionChangesPage);
    }
    return {};
}
