#include "cli/NumberOptions.h"

#include <algorithm>
#include <vector>

#include "catalog/FormatOptions.h"
#include "catalog/FormatTable.h"
#include "catalog/OutputShapeOptions.h"
#include "cli/FormatWords.h"
#include "cli/OptionWords.h"

namespace {
// The options of flag that some target format takes.
std::vector<const FormatOption*> OptionsOf(std::string_view flag) {
    std::vector<const FormatOption*> options;
    for (const FormatOption& option : FormatOptions()) {
        if (option.Flag == flag && !FormatsTaking(option).empty()) {
            options.push_back(&option);
        }
    }
    return options;
}

std::span<const FormatOption* const> TargetOptions(uint8_t target) {
    const FormatInfo* format = FindTargetFormat(target);
    return format ? format->Options : std::span<const FormatOption* const>();
}

// Every target format that takes flag, each once.
std::vector<const FormatInfo*> FormatsTakingFlag(std::string_view flag) {
    std::vector<const FormatInfo*> formats;
    for (const FormatOption* option : OptionsOf(flag)) {
        for (const FormatInfo* format : FormatsTaking(*option)) {
            if (std::ranges::find(formats, format) == formats.end()) {
                formats.push_back(format);
            }
        }
    }
    return formats;
}
} // namespace

bool IsNumberOptionFlag(std::string_view flag) {
    return !OptionsOf(flag).empty();
}

std::optional<int32_t> SwitchValue(std::string_view flag) {
    const std::vector<const FormatOption*> options = OptionsOf(flag);
    if (options.empty() || !options.front()->IsSwitch) {
        return std::nullopt;
    }
    return options.front()->Most;
}

bool SomeTargetTakes(std::string_view flag, int32_t value) {
    return std::ranges::any_of(OptionsOf(flag),
                               [&](const FormatOption* option) { return option->Accepts(value); });
}

std::string NumberOptionValues(std::string_view flag) {
    std::string text;
    for (const FormatOption* option : OptionsOf(flag)) {
        text +=
            (text.empty() ? "" : ", ") + ValuesText(*option) + " for " + NamesTaking(*option, "/");
    }
    return text;
}

bool CheckNumberOption(std::string_view flag, int32_t value, uint8_t target, std::string& error) {
    const FormatOption* option = FindFormatOption(flag, target);
    if (!option) {
        error = OnlyForMessage(flag, FormatsTakingFlag(flag));
        return false;
    }
    if (!option->Accepts(value)) {
        error = std::string(flag) + " takes " + ValuesText(*option) + " for " +
                NamesTaking(*option, "/") + " output";
        return false;
    }
    return true;
}

bool CheckReplacingOptions(const GivenNumbers& given, uint8_t target, std::string& error) {
    for (const FormatOption* option : TargetOptions(target)) {
        if (option->Replaces && given.contains(std::string(option->Flag)) &&
            given.contains(std::string(option->Replaces->Flag))) {
            error = std::string(option->Flag) + " and " + std::string(option->Replaces->Flag) +
                    " exclude each other";
            return false;
        }
    }
    return true;
}

bool CheckSampleRate(const ConversionSettings& settings, std::string& error) {
    const std::optional<int32_t> rate = UnwritableSampleRate(settings);
    if (!rate) {
        return true;
    }
    const FormatOption& option = OutputSampleRateOption;
    error = std::string(option.Flag) + " takes " +
            RangeText(option, MostSampleRateOf(settings.TargetFormat)) + " for " +
            std::string(FindTargetFormat(settings.TargetFormat)->Name) + " output, not " +
            std::to_string(*rate);
    return false;
}

void ApplyNumberOption(std::string_view flag, int32_t value, ConversionSettings& settings) {
    if (const FormatOption* option = FindFormatOption(flag, settings.TargetFormat)) {
        settings.Options.Set(*option, value);
    }
}

void TurnOffReplacingOptions(const GivenNumbers& given, ConversionSettings& settings) {
    for (const FormatOption* option : TargetOptions(settings.TargetFormat)) {
        if (option->Replaces && !option->Offered.empty() &&
            !given.contains(std::string(option->Flag)) &&
            given.contains(std::string(option->Replaces->Flag))) {
            settings.Options.Set(*option, option->Offered.front().Value);
        }
    }
}
