#include "cli/OptionsHelp.h"

#include <array>
#include <string_view>
#include <utility>

#include "catalog/FormatOptions.h"
#include "catalog/FormatTable.h"
#include "cli/OptionWords.h"
#include "cli/TargetDescription.h"

namespace {
// Where the help's descriptions start.
constexpr std::string_view HelpIndent = "                          ";

// A fixed list's values are named after their unit; any other number is N.
constexpr std::array<std::pair<std::string_view, std::string_view>, 2> UnitPlaceholders = {{
    {"kbit/s", "KBPS"},
    {"Hz", "HZ"},
}};

std::string Placeholder(const FormatOption& option) {
    switch (ShapeOf(option)) {
    case OptionShape::Switch:
        return {};
    case OptionShape::Items:
        return " " + std::to_string(option.Least) + ".." + std::to_string(option.Most);
    case OptionShape::FixedList:
        for (const auto& [unit, placeholder] : UnitPlaceholders) {
            if (option.Unit == unit) {
                return " " + std::string(placeholder);
            }
        }
        break;
    case OptionShape::Range:
        break;
    }
    return " N";
}

// "      --flag ARG" and the start of the description: on the same line when there is room.
std::string Head(std::string_view flag, const std::string& argument) {
    std::string head = "      " + std::string(flag) + argument;
    return head.size() + 2 > HelpIndent.size() ? head + "\n" + std::string(HelpIndent)
                                               : head.append(HelpIndent.size() - head.size(), ' ');
}

// Each line of a text after the first starts at the descriptions' column.
std::string Indented(std::string_view lines) {
    std::string text;
    for (std::size_t start = 0; start < lines.size();) {
        const std::size_t end = lines.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? lines.size() : end + 1;
        text += (start == 0 ? "" : std::string(HelpIndent)) +
                std::string(lines.substr(start, next - start));
        start = next;
    }
    return text;
}

std::string TextOptionHelp(const FormatInfo& format, const ConversionSettings& defaults) {
    const FormatTextOption& option = *format.TextOption;
    return Head(option.Flag, " " + std::string(option.Placeholder)) + Indented(option.Help) +
           std::string(HelpIndent) + "default: " + DescribeFormatSettings(format, defaults) + "\n";
}

// "A bit rate: 320, 256, …", "A compression level, 0 to 8", "channels, 1 to 8 …"
std::string Description(const FormatOption& option, bool shared) {
    const std::string what =
        (shared ? "" : NamesTaking(option, ", ") + " ") + std::string(option.Caption);
    switch (ShapeOf(option)) {
    case OptionShape::Switch:
        return NamesTaking(option, ", ") + " in " + WordsFor(option, option.Most);
    case OptionShape::Items:
        return what + ", from " + std::to_string(option.Least) + " = " +
               WordsFor(option, option.Least) + "\n" + std::string(HelpIndent) + "to " +
               std::to_string(option.Most) + " = " + WordsFor(option, option.Most);
    case OptionShape::FixedList:
        return what + ": " + ListedValues(option);
    case OptionShape::Range:
        break;
    }
    return what + ", " + ValuesText(option);
}

std::string NumberOptionHelp(const FormatOption& option, const ConversionSettings& defaults) {
    const bool shared = FormatsTaking(option).size() > 1;
    const int32_t value = defaults.Options.Of(option);
    const std::string head = Head(option.Flag, Placeholder(option)) + Description(option, shared);
    switch (ShapeOf(option)) {
    case OptionShape::Switch:
        return head + "; default: " + ValueText(option, value) + "\n";
    case OptionShape::Items:
        return head + "; default: " + std::to_string(value) + "\n";
    case OptionShape::FixedList:
    case OptionShape::Range:
        break;
    }
    return head + "\n" + std::string(HelpIndent) +
           (shared ? "for " + NamesTaking(option, ", ") + "; " : "") +
           "default: " + std::to_string(value) + "\n";
}
} // namespace

std::string FormatOptionsHelp(const ConversionSettings& defaults) {
    std::string text;
    for (const FormatInfo& format : Formats()) {
        if (format.TextOption) {
            text += TextOptionHelp(format, defaults);
        }
    }
    for (const FormatOption& option : FormatOptions()) {
        if (!FormatsTaking(option).empty()) {
            text += NumberOptionHelp(option, defaults);
        }
    }
    return text;
}
