#include "system/FileNames.h"

namespace {
// Position of the dot that starts the extension, or npos.
std::size_t ExtensionDot(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t sep = path.rfind(PathSeparator);
    if (dot == std::string_view::npos || (sep != std::string_view::npos && dot < sep)) {
        return std::string_view::npos;
    }
    return dot;
}
} // namespace

std::string GetFileExtension(std::string_view path) {
    const std::size_t dot = ExtensionDot(path);
    return dot == std::string_view::npos ? std::string(".") : std::string(path.substr(dot));
}

std::string GetFileNamePart(std::string_view path) {
    const std::size_t sep = path.rfind(PathSeparator);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string RemoveExtension(std::string_view path) {
    return std::string(path.substr(0, ExtensionDot(path)));
}

std::string GetFolderPart(std::string_view path) {
    const std::size_t sep = path.rfind(PathSeparator);
    return std::string(sep == std::string_view::npos ? path : path.substr(0, sep + 1));
}

void WithTrailingSlash(std::string& path) {
    if (!path.empty() && path.back() != PathSeparator) {
        path += PathSeparator;
    }
}

std::string UpperAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return result;
}
