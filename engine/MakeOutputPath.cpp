#include "engine/MakeOutputPath.h"

#include "system/FileNames.h"

const char* OutputExtension(uint8_t target) {
    switch (target) {
    case tfWave:
        return ".wav";
    case tfMp3:
        return ".mp3";
    default:
        return ".wma";
    }
}

std::string MakeOutputPath(std::string_view inputPath, const DestinationSettings& destination) {
    std::string path = destination.Folder;
    if (destination.SameFolder) {
        // A bare file name lives in the current folder, not in a folder named after itself.
        path = inputPath.find(PathSeparator) == std::string_view::npos ? std::string()
                                                                       : GetFolderPart(inputPath);
    }
    AddTrailingBackslash(path);
    path += RemoveExtension(GetFileNamePart(inputPath));
    path += OutputExtension(destination.Target);
    return path;
}
