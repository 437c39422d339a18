#include "cli/TargetDescription.h"

#include "catalog/FormatOptions.h"
#include "catalog/FormatTable.h"
#include "cli/OptionWords.h"

namespace {
// Each value its encoder uses, in the order of the format's options.
std::vector<std::string> OptionTexts(const FormatInfo& format, const ConversionSettings& settings) {
    std::vector<std::string> texts;
    for (const FormatOption* option : format.Options) {
        const int32_t value = settings.Options.Of(*option);
        if (!(option->ZeroKeepsInput && value == 0) &&
            OptionInUse(format, *option, settings.Options)) {
            texts.push_back(ValueText(*option, value));
        }
    }
    return texts;
}

std::vector<std::string> WordsOf(const FormatInfo& format, const ConversionSettings& settings) {
    return format.SettingsWords ? format.SettingsWords(settings) : OptionTexts(format, settings);
}

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : separator) + part;
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
    return Joined(TargetParts(settings), " ");
}

std::string DescribeDefault(const ConversionSettings& settings) {
    const FormatInfo* format = FindTargetFormat(settings.TargetFormat);
    if (!format) {
        return "?";
    }
    const std::string words = DescribeFormatSettings(*format, settings);
    return std::string(format->Key) + (words.empty() ? "" : ", " + words);
}

std::string DescribeFormatSettings(const FormatInfo& format, const ConversionSettings& settings) {
    return Joined(WordsOf(format, settings), ", ");
}
