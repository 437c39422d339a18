#pragma once
// The command line's side of the formats' encoder options (FormatOptions.h), by flag: which flags
// exist, what each takes for which target, and what a value of one sets. Several targets may
// take one flag as options of their own; only options of target formats count.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "catalog/ConversionSettings.h"

// True when a target format takes flag as one of its options.
bool IsNumberOptionFlag(std::string_view flag);
// What naming flag sets when its options are switches ("--mono": 1); nullopt when they take a
// value.
std::optional<int32_t> SwitchValue(std::string_view flag);
// True when some target format takes value for flag.
bool SomeTargetTakes(std::string_view flag, int32_t value);
// "one of 320, 256 (kbit/s) for A, 32 to 256 for B/C": what flag takes, for each option of it
// and the targets that take that one.
std::string NumberOptionValues(std::string_view flag);
// False with a one-line reason when target does not take flag, or not value for it.
bool CheckNumberOption(std::string_view flag, int32_t value, uint8_t target, std::string& error);
// The flags given, with their values.
using GivenNumbers = std::map<std::string, int32_t>;
// False with a one-line reason when given names both a choice of target and the one it replaces
// (FormatOption::Replaces).
bool CheckReplacingOptions(const GivenNumbers& given, uint8_t target, std::string& error);
// False with a one-line reason when the settings, from the command line or stored, ask for a
// sample rate above what their target's encoder writes.
bool CheckSampleRate(const ConversionSettings& settings, std::string& error);
// Sets the settings' target's option of flag; nothing when it has none.
void ApplyNumberOption(std::string_view flag, int32_t value, ConversionSettings& settings);
// A choice given without the one that would replace it (a constant bit rate without a variable
// one) turns that one off, whatever was stored.
void TurnOffReplacingOptions(const GivenNumbers& given, ConversionSettings& settings);
