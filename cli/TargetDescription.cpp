#include "cli/TargetDescription.h"

#include "catalog/FormatTable.h"
#include "cli/OptionWords.h"

namespace {
// Each option's value, in the order of the format's options.
std::vector<std::string> OptionTexts(const FormatInfo& format, const ConversionSettings& settings) {
    std::vector<std::string> texts;
    for (const FormatOption* option : format.Options) {
        const int32_t value = settings.Options.Of(*option);
        if (!(option->ZeroKeepsInput && value == 0)) {
            texts.push_back(ValueText(*option, value));
        }
    }
    return texts;
}

std::string Joined(const std::vector<std::string>& parts, std::size_t first,
                   const char* separator) {
    std::string text;
    for (std::size_t i = first; i < parts.size(); ++i) {
        text += (text.empty() ? "" : separator) + parts[i];
    }
    return text;
}
} // namespace

std::vector<std::string> TargetParts(const ConversionSettings& settings) {
    const FormatInfo* format = FindTargetFormat(settings.TargetFormat);
    if (!format) {
        return {"?"};
    }
    std::vector<std::string> parts = {std::string(format->Name)};
    const std::vector<std::string> words =
        format->SettingsWords ? format->SettingsWords(settings) : OptionTexts(*format, settings);
    parts.insert(parts.end(), words.begin(), words.end());
    return parts;
}

std::string DescribeTarget(const ConversionSettings& settings) {
    return Joined(TargetParts(settings), 0, " ");
}

std::string DescribeDefault(const ConversionSettings& settings) {
    const FormatInfo* format = FindTargetFormat(settings.TargetFormat);
    const std::string options = Joined(TargetParts(settings), 1, ", ");
    return std::string(format ? format->Key : "?") + (options.empty() ? "" : ", " + options);
}
