#include "cli/FormatWords.h"

#include "catalog/FormatTable.h"
#include "catalog/InputNames.h"

std::string TargetKeys(std::string_view separator) {
    std::string text;
    for (const FormatInfo& format : Formats()) {
        if (format.IsTarget()) {
            text += (text.empty() ? "" : std::string(separator)) + std::string(format.Key);
        }
    }
    return text;
}

std::string InputTypeWords(std::string_view separator) {
    std::string text;
    for (const std::string& name : InputExtensionNames()) {
        text += (text.empty() ? "" : std::string(separator)) + name;
    }
    return text;
}

std::string FormatsInASentence() {
    const auto formats = Formats();
    std::string text;
    for (std::size_t i = 0; i < formats.size(); ++i) {
        const char* join = i == 0 ? "" : i + 1 == formats.size() ? " and " : ", ";
        text += join + std::string(formats[i].SentenceName());
    }
    return text;
}

std::string FormatNames(const std::vector<const FormatInfo*>& formats, std::string_view join) {
    std::string names;
    for (const FormatInfo* format : formats) {
        names += (names.empty() ? "" : std::string(join)) + std::string(format->Name);
    }
    return names;
}

std::string OnlyForMessage(std::string_view flag, const std::vector<const FormatInfo*>& formats) {
    const std::string choose =
        formats.size() == 1 ? " (--to " + std::string(formats.front()->Key) + ")" : "";
    return std::string(flag) + " applies only to " + FormatNames(formats, ", ") + " output" +
           choose;
}
