#pragma once
// The command line's side of the encoder options given as numbers (FormatOptions.h): which flags
// exist, what each takes for which target, their help lines and how a job describes them. Only
// options of target formats this build writes count.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/ConversionSettings.h"

// True when a target format of the table takes flag as a number option.
bool IsNumberOptionFlag(std::string_view flag);
// True when some target format takes value for flag.
bool SomeTargetTakes(std::string_view flag, int32_t value);
// "1 to 8 or 0 (as the input) for FLAC/…": what flag takes, for each target that takes it.
std::string NumberOptionValues(std::string_view flag);
// False with a one-line reason when target does not take flag, or not value for it; alsoTakenBy
// names a format that takes the flag otherwise ("MP3").
bool CheckNumberOption(std::string_view flag, int32_t value, uint8_t target, std::string& error,
                       std::string_view alsoTakenBy = {});
// Sets the field that flag sets for the settings' target; nothing when it has none.
void ApplyNumberOption(std::string_view flag, int32_t value, ConversionSettings& settings);
// One help line (and its default) per option, for the values of defaults.
std::string NumberOptionsHelp(const ConversionSettings& defaults);
// What the options of the settings' target say: "quality 5", "128 kbit/s"; an option left "as the
// input" says nothing.
std::vector<std::string> NumberOptionTexts(const ConversionSettings& settings);
