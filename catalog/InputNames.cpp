#include "catalog/InputNames.h"

#include <algorithm>
#include <cctype>

#include "catalog/FormatTable.h"

std::vector<std::string> InputExtensionNames() {
    std::vector<std::string> names;
    for (const FormatInfo& format : Formats()) {
        for (const std::string_view ext : format.InputExtensions) {
            std::string name(ext.substr(1));
            std::ranges::transform(name, name.begin(), [](unsigned char c) {
                return static_cast<char>(std::tolower(c));
            });
            names.push_back(std::move(name));
        }
    }
    std::ranges::sort(names);
    return names;
}

std::string InputMimeTypeList() {
    std::string list;
    for (const FormatInfo& format : Formats()) {
        for (const std::string_view type : format.MimeTypes) {
            list += std::string(type) + ";";
        }
    }
    return list;
}

std::string InputFormatNames(std::string_view lastJoin) {
    std::vector<std::string_view> names;
    for (const FormatInfo& format : Formats()) {
        if (format.IsInput()) {
            names.push_back(format.Name);
        }
    }
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i + 1 == names.size() && i > 0) {
            text.append(" ").append(lastJoin).append(" ");
        } else if (i > 0) {
            text.append(", ");
        }
        text.append(names[i]);
    }
    return text;
}
