#include "mirror/MirrorRules.h"

#include <chrono>

#include "catalog/FormatTable.h"

namespace {
int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}
} // namespace

MirrorRules MirrorRules::For(const ConversionSettings& settings,
                             const std::vector<std::string>& settingsFields, bool copySame,
                             bool copyLossy) {
    MirrorRules rules;
    for (const std::string& field : settingsFields) {
        rules.settingsKey += field + '\x1f';
    }
    rules.copyTags = settings.CopyTags;
    rules.copySame = copySame;
    rules.copyLossy = copyLossy;
    rules.targetKey = std::string(FindTargetFormat(settings.TargetFormat)->Key);
    rules.nowNs = NowNs();
    return rules;
}

std::string MirrorRules::Refusal(const ConversionSettings& settings) {
    // A run converts only what changed, while an album's gain needs every file of the album
    // measured in one run.
    if (settings.ReplayGain == ReplayGainMode::Album) {
        return "a mirror cannot give album gains: it converts only the files that changed, and "
               "an album's gain needs all of its files; choose track gains for the mirror; "
               "nothing was converted.";
    }
    return {};
}
