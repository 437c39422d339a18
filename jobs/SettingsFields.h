#pragma once
// The settings a job gives every file, as text fields: how brindlex-convert hands them to its
// worker processes once, before the first file.
#include <string>
#include <vector>

#include "catalog/ConversionSettings.h"

// The target format, the encoder options, the WAVE output format, the ReplayGain mode, whether
// tags are copied and how covers are fitted.
std::vector<std::string> SettingsFields(const ConversionSettings& settings);
// The fields that decide what an output in the target format holds: another format's options, an
// option the target's chosen mode leaves unused, and the WAVE output format for another target
// are left at their defaults, so that changing them changes no output.
std::vector<std::string> OutputSettingsFields(const ConversionSettings& settings);
// Puts fields made by SettingsFields into settings; false (settings unchanged) when they are not.
bool ApplySettingsFields(const std::vector<std::string>& fields, ConversionSettings& settings);
