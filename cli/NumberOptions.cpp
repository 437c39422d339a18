#include "cli/NumberOptions.h"

#include <algorithm>

#include "catalog/FormatOptions.h"
#include "catalog/FormatTable.h"

namespace {
// Where the help's descriptions start.
constexpr std::string_view HelpIndent = "                          ";

// The target formats that option applies to.
std::vector<const FormatInfo*> TargetsOf(const FormatOption& option) {
    return FormatsTaking(option);
}

// The options of flag that some target format of the table takes.
std::vector<const FormatOption*> OptionsOf(std::string_view flag) {
    std::vector<const FormatOption*> options;
    for (const FormatOption& option : FormatOptions()) {
        if (option.Flag == flag && !TargetsOf(option).empty()) {
            options.push_back(&option);
        }
    }
    return options;
}

std::string NamesOf(const FormatOption& option, const char* join) {
    std::string names;
    for (const FormatInfo* format : TargetsOf(option)) {
        names += (names.empty() ? "" : join) + std::string(format->Name);
    }
    return names;
}

std::string RangeText(const FormatOption& option) {
    return std::to_string(option.Least) + " to " + std::to_string(option.Most) +
           (option.ZeroKeepsInput ? " or 0 (as the input)" : "");
}

std::string ValueText(const FormatOption& option, int32_t value) {
    return option.Unit.empty() ? std::string(option.Caption) + " " + std::to_string(value)
                               : std::to_string(value) + " " + std::string(option.Unit);
}
} // namespace

bool IsNumberOptionFlag(std::string_view flag) {
    return !OptionsOf(flag).empty();
}

bool SomeTargetTakes(std::string_view flag, int32_t value) {
    return std::ranges::any_of(OptionsOf(flag),
                               [&](const FormatOption* option) { return option->Accepts(value); });
}

std::string NumberOptionValues(std::string_view flag) {
    std::string text;
    for (const FormatOption* option : OptionsOf(flag)) {
        text += (text.empty() ? "" : ", ") + RangeText(*option) + " for " + NamesOf(*option, "/");
    }
    return text;
}

bool CheckNumberOption(std::string_view flag, int32_t value, uint8_t target, std::string& error,
                       std::string_view alsoTakenBy) {
    const FormatOption* option = FindFormatOption(flag, target);
    if (!option) {
        std::string names(alsoTakenBy);
        for (const FormatOption* other : OptionsOf(flag)) {
            names += (names.empty() ? "" : ", ") + NamesOf(*other, ", ");
        }
        error = std::string(flag) + " applies only to " + names + " output";
        return false;
    }
    if (!option->Accepts(value)) {
        error = std::string(flag) + " takes " + RangeText(*option) + " for " +
                NamesOf(*option, "/") + " output";
        return false;
    }
    return true;
}

void ApplyNumberOption(std::string_view flag, int32_t value, ConversionSettings& settings) {
    if (const FormatOption* option = FindFormatOption(flag, settings.TargetFormat)) {
        settings.*option->Field = value;
    }
}

std::string NumberOptionsHelp(const ConversionSettings& defaults) {
    std::string text;
    for (const FormatOption& option : FormatOptions()) {
        if (TargetsOf(option).empty()) {
            continue;
        }
        std::string head = "      " + std::string(option.Flag) + " N";
        head = head.size() + 2 > HelpIndent.size()
                   ? head + "\n" + std::string(HelpIndent)
                   : head.append(HelpIndent.size() - head.size(), ' ');
        const bool shared = TargetsOf(option).size() > 1;
        text += head + (shared ? "" : NamesOf(option, "") + " ") + std::string(option.Caption) +
                ", " + RangeText(option) + "\n" + std::string(HelpIndent) +
                (shared ? "for " + NamesOf(option, ", ") + "; " : "") +
                "default: " + std::to_string(defaults.*option.Field) + "\n";
    }
    return text;
}

std::vector<std::string> NumberOptionTexts(const ConversionSettings& settings) {
    std::vector<std::string> texts;
    for (const FormatOption& option : FormatOptions()) {
        const int32_t value = settings.*option.Field;
        if (OptionAppliesTo(option, settings.TargetFormat) && !(option.ZeroKeepsInput && value == 0)) {
            texts.push_back(ValueText(option, value));
        }
    }
    return texts;
}
