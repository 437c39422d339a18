#include "cue/CueAudioFile.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "catalog/InputNames.h"

namespace {
bool IsFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::string Lower(std::string text) {
    std::ranges::transform(text, text.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A file in the folder of wanted with wanted's stem and a readable extension, in the order of
// the extensions, so the choice does not depend on the order of the folder's entries.
std::string SameStem(const std::filesystem::path& wanted) {
    std::error_code error;
    std::filesystem::directory_iterator entries(wanted.parent_path(), error);
    std::string best;
    std::size_t bestRank = SIZE_MAX;
    const std::vector<std::string> extensions = InputExtensionNames();
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        const std::filesystem::path& path = entries->path();
        if (path.stem() != wanted.stem() || !path.has_extension() || !IsFile(path)) {
            continue;
        }
        const auto found =
            std::ranges::find(extensions, Lower(path.extension().string().substr(1)));
        const auto rank = static_cast<std::size_t>(found - extensions.begin());
        if (found != extensions.end() && rank < bestRank) {
            best = path.string();
            bestRank = rank;
        }
    }
    return best;
}
} // namespace

std::string FindCueAudioFile(const std::string& folder, std::string name) {
    std::ranges::replace(name, '\\', '/');
    const std::filesystem::path path =
        name.starts_with('/') ? std::filesystem::path(name) : std::filesystem::path(folder + name);
    if (IsFile(path)) {
        return path.string();
    }
    return SameStem(path);
}
