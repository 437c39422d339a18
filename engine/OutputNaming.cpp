#include "engine/OutputNaming.h"

#include <filesystem>

#include "engine/MakeOutputPath.h"
#include "engine/SafeName.h"
#include "system/FileNames.h"

namespace fs = std::filesystem;

namespace {
// A part is named "{track:02} - {title}"; the number is put before the pattern's name, since a
// pattern takes track 0 (a hidden track before the first) for none.
constexpr std::string_view PartPattern = "{title}";

std::string PartNumber(const NameValues& values) {
    const auto found = values.tags.find(std::string_view("TRACKNUMBER"));
    std::string number = found == values.tags.end() ? std::string() : found->second;
    return std::string(number.size() < 2 ? 2 - number.size() : 0, '0') + number + " - ";
}

std::string NormalFolder(std::string_view folder) {
    std::string normal = fs::path(folder).lexically_normal().string();
    WithTrailingSlash(normal);
    return normal;
}
} // namespace

OutputNaming::OutputNaming(const DestinationSettings& destination)
    : destination_(destination),
      partPattern_(std::get<NamePattern>(NamePattern::Parse(PartPattern))) {
    if (!destination.BaseFolder.empty()) {
        base_ = NormalFolder(destination.BaseFolder);
    }
    if (!destination.SameFolder && !destination.NamePattern.empty()) {
        auto parsed = NamePattern::Parse(destination.NamePattern);
        if (NamePattern* pattern = std::get_if<NamePattern>(&parsed)) {
            pattern_ = std::move(*pattern);
        }
    }
}

std::string OutputNaming::FolderOf(std::string_view input, std::string_view subFolder) const {
    if (base_.empty()) {
        return std::string(subFolder);
    }
    const std::string folder = NormalFolder(GetFolderPart(input));
    if (!folder.starts_with(base_)) {
        return std::string(subFolder);
    }
    return folder.substr(base_.size());
}

std::string OutputNaming::OutputPath(std::string_view input, const NameValues& values,
                                     bool keepTree, bool part) const {
    const std::string_view extension = OutputExtension(destination_.Target);
    std::string name;
    if (pattern_) {
        name = pattern_->Evaluate(values, extension.size());
    } else {
        name =
            (keepTree && !destination_.SameFolder ? values.folder : std::string()) +
            (part ? PartName(values, extension.size()) : RemoveExtension(GetFileNamePart(input)));
    }
    if (destination_.SafeNames) {
        name = SafeName(name, extension.size());
    }
    return MakeOutputPath(input, destination_, name);
}

std::string OutputNaming::PartName(const NameValues& values, std::size_t extensionBytes) const {
    const std::string number = PartNumber(values);
    return number + partPattern_.Evaluate(values, extensionBytes + number.size());
}
