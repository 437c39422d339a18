#include "cli/OptionWords.h"

#include "catalog/FormatOptions.h"
#include "cli/FormatWords.h"

std::string ListedValues(const FormatOption& option) {
    std::string text;
    for (const OfferedValue& offered : option.Offered) {
        text += (text.empty() ? "" : ", ") + std::to_string(offered.Value);
    }
    return text;
}

OptionShape ShapeOf(const FormatOption& option) {
    if (option.IsSwitch) {
        return OptionShape::Switch;
    }
    if (!WordsFor(option, option.Least).empty()) {
        return OptionShape::Items;
    }
    return option.OnlyOffered ? OptionShape::FixedList : OptionShape::Range;
}

std::string NamesTaking(const FormatOption& option, std::string_view join) {
    return FormatNames(FormatsTaking(option), join);
}

std::string RangeText(const FormatOption& option, int32_t most) {
    return std::to_string(option.Least) + " to " + std::to_string(most) +
           (option.ZeroKeepsInput ? " or 0 (as the input)" : "");
}

std::string ValuesText(const FormatOption& option) {
    switch (ShapeOf(option)) {
    case OptionShape::Items:
        return "a number from " + std::to_string(option.Least) + " to " +
               std::to_string(option.Most);
    case OptionShape::FixedList:
        return "one of " + ListedValues(option) +
               (option.Unit.empty() ? "" : " (" + std::string(option.Unit) + ")");
    case OptionShape::Switch:
    case OptionShape::Range:
        break;
    }
    return RangeText(option, option.Most);
}

std::string WordsFor(const FormatOption& option, int32_t value) {
    for (const FormatInfo* format : FormatsTaking(option)) {
        if (format->ValueWords) {
            if (std::string words = format->ValueWords(option, value); !words.empty()) {
                return words;
            }
        }
    }
    return {};
}

std::string ValueText(const FormatOption& option, int32_t value) {
    if (std::string words = WordsFor(option, value); !words.empty()) {
        return words;
    }
    return option.Unit.empty() ? std::string(option.Caption) + " " + std::to_string(value)
                               : std::to_string(value) + " " + std::string(option.Unit);
}
