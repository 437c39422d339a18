#include "cli/OptionsHelp.h"

#include <array>
#include <string_view>
#include <utility>
#include <vector>

#include "catalog/FormatOptions.h"
#include "catalog/FormatTable.h"
#include "cli/FormatWords.h"
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

// "  MP3:", "  FLAC, Vorbis, AAC, ALAC:"
std::string Heading(const std::vector<const FormatInfo*>& formats) {
    return "  " + FormatNames(formats, ", ") + ":\n";
}

// "; default: X" after the last line when it fits the terminal's 80 columns, else below it.
std::string WithDefault(const std::string& text, const std::string& value) {
    constexpr std::size_t Width = 80;
    constexpr std::string_view Inline = "; default: ";
    const std::size_t lastLine = text.size() - (text.rfind('\n') + 1);
    return lastLine + Inline.size() + value.size() <= Width
               ? text + std::string(Inline) + value + "\n"
               : text + "\n" + std::string(HelpIndent) + "default: " + value + "\n";
}

std::string TextOptionHelp(const FormatInfo& format, const ConversionSettings& defaults) {
    const FormatTextOption& option = *format.TextOption;
    return Head(option.Flag, " " + std::string(option.Placeholder)) + Indented(option.Help) +
           std::string(HelpIndent) + "default: " + DescribeFormatSettings(format, defaults) + "\n";
}

// "bit rate: 56, 64, …", "compression level, 0 to 8", "quality, from 0 = … to 7 = …"; the heading
// above names the formats.
std::string Description(const FormatOption& option) {
    const std::string what(option.Caption);
    switch (ShapeOf(option)) {
    case OptionShape::Switch:
        return "in " + WordsFor(option, option.Most);
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

// A number of its range as it is given; a switch, or a value outside the range (off), in words.
std::string DefaultText(const FormatOption& option, int32_t value) {
    const bool given =
        (value >= option.Least && value <= option.Most) || (option.ZeroKeepsInput && value == 0);
    return ShapeOf(option) == OptionShape::Switch || !given ? ValueText(option, value)
                                                            : std::to_string(value);
}

std::string NumberOptionHelp(const FormatOption& option, const ConversionSettings& defaults) {
    std::string text = Head(option.Flag, Placeholder(option)) + Description(option);
    if (option.Replaces) {
        text += "\n" + std::string(HelpIndent) + "instead of " + std::string(option.Replaces->Flag);
    }
    return WithDefault(text, DefaultText(option, defaults.Options.Of(option)));
}

bool Shared(const FormatOption& option) {
    return FormatsTaking(option).size() > 1;
}
} // namespace

std::string FormatOptionsHelp(const ConversionSettings& defaults) {
    std::string text;
    for (const FormatInfo& format : Formats()) {
        std::string lines = format.TextOption ? TextOptionHelp(format, defaults) : "";
        for (const FormatOption* option : format.Options) {
            if (!Shared(*option)) {
                lines += NumberOptionHelp(*option, defaults);
            }
        }
        if (!lines.empty()) {
            text += Heading({&format}) + lines;
        }
    }
    for (const FormatOption& option : FormatOptions()) {
        if (Shared(option)) {
            text += Heading(FormatsTaking(option)) + NumberOptionHelp(option, defaults);
        }
    }
    return text;
}
