#pragma once
// The run's choices that decide what is made of each source.
#include <cstdint>
#include <string>
#include <vector>

#include "catalog/ConversionSettings.h"

struct MirrorRules {
    // What the conversion settings make of an output; copies have their own.
    std::string settingsKey;
    bool copyTags = true;
    bool copySame = false;
    bool copyLossy = false;
    std::string targetKey; // the target format's key: "opus"
    int64_t nowNs = 0;

    // The rules of a run with these settings, now. settingsFields: the settings that decide what
    // an output holds, as the job hands them to its workers (OutputSettingsFields in
    // jobs/SettingsFields.h), so that any change of them changes the key and no other does.
    static MirrorRules For(const ConversionSettings& settings,
                           const std::vector<std::string>& settingsFields, bool copySame,
                           bool copyLossy);
    // Why a mirror cannot run with these settings; empty when it can.
    static std::string Refusal(const ConversionSettings& settings);
};
