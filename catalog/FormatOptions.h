#pragma once
// The encoder options of every format, each once, and which formats take them (each format lists
// its own: FormatInfo::Options).
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "catalog/FormatInfo.h"
#include "catalog/FormatOption.h"
#include "catalog/OptionValues.h"

// The options that one format alone takes, in the formats' order, then those that several take.
std::span<const std::reference_wrapper<const FormatOption>> FormatOptions();

// The target formats that take option, in the formats' order.
std::vector<const FormatInfo*> FormatsTaking(const FormatOption& option);
bool OptionAppliesTo(const FormatOption& option, uint8_t target);

// Whether the encoder of format uses option's value in values: not for a replacing choice left off,
// nor for the option that a chosen one replaces (FormatOption::Replaces).
bool OptionInUse(const FormatInfo& format, const FormatOption& option, const OptionValues& values);

// The option of that flag that applies to target; nullptr when none does.
const FormatOption* FindFormatOption(std::string_view flag, uint8_t target);
