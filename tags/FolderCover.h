#pragma once
// The picture an input's folder holds as its album's cover: the first of a list of names found
// among the folder's files, in any letter case, as the folders users copy between systems have
// them ("Folder.jpg", "COVER.JPG").
#include <optional>
#include <span>
#include <string>
#include <variant>

#include <taglib/tbytevector.h>

#include "tags/CoverProblem.h"

class FolderCover {
public:
    // The path of the picture for the input at inputPath; null when the folder has none of names
    // (or cannot be listed). A name matching several files takes the one in the same letter case,
    // else the first in byte order, so that every run picks the same.
    static std::optional<std::string> Find(const std::string& inputPath,
                                           std::span<const std::string> names);
    // The whole file, or a problem: it cannot be read, or it is larger than a picture carried.
    static std::variant<TagLib::ByteVector, CoverProblem> Read(const std::string& path);
};
