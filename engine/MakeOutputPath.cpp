#include "engine/MakeOutputPath.h"

#include "catalog/FormatTable.h"
#include "system/FileNames.h"

std::string_view OutputExtension(uint8_t target) {
    const FormatInfo* format = FindTargetFormat(target);
    return format ? format->OutputExtension : std::string_view();
}

std::string MakeOutputPath(std::string_view inputPath, const DestinationSettings& destination) {
    return MakeOutputPath(inputPath, destination, RemoveExtension(GetFileNamePart(inputPath)));
}

std::string MakeOutputPath(std::string_view inputPath, const DestinationSettings& destination,
                           std::string_view name) {
    std::string path = destination.Folder;
    if (destination.SameFolder) {
        // A bare file name lives in the current folder, not in a folder named after itself.
        path = inputPath.find(PathSeparator) == std::string_view::npos ? std::string()
                                                                       : GetFolderPart(inputPath);
    }
    WithTrailingSlash(path);
    path += name;
    path += OutputExtension(destination.Target);
    return path;
}
