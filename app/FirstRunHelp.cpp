#include "app/FirstRunHelp.h"

#include <string_view>

#include "system/HelpPages.h"
#include "system/SettingsStore.h"

namespace {
constexpr std::string_view ShownHelp = "ShownConvHelp";
constexpr std::string_view ShownVersionChanges = "ShownConvVerChgsr1";

bool Shown(std::string_view marker) {
    return StoreValueExists(StoreRoot::User, SettingsKey, marker);
}

void MarkShown(std::string_view marker) {
    StoreWriteNumber(0, StoreRoot::User, SettingsKey, marker);
}
} // namespace

FirstRunHelp::FirstRunHelp(const std::string& appFolder) {
    // Without a folder of our own there is no page to show.
    if (appFolder.empty()) {
        return;
    }
    if (!Shown(ShownHelp)) {
        help_ = true;
        page_ = appFolder + std::string(HelpPage);
    } else if (!Shown(ShownVersionChanges)) {
        page_ = appFolder + std::string(VersionChangesPage);
    }
}

void FirstRunHelp::MarkShown() const {
    if (page_.empty()) {
        return;
    }
    if (help_) {
        ::MarkShown(ShownHelp);
    }
    ::MarkShown(ShownVersionChanges);
}

std::string ShowFirstRunHelp(const DocumentOpener& open, const std::string& appFolder) {
    const FirstRunHelp help(appFolder);
    if (!help.Page().empty() && open && open(help.Page())) {
        help.MarkShown();
    }
    return help.Page();
}
