#pragma once
// How the outputs of one job are named below their folder: after their inputs, below each input's
// sub-folder when the tree is kept, or by the naming pattern alone when one is given (and the
// outputs go into a chosen folder); an input below the library folder takes its sub-folder
// relative to that folder; with safe names every part below the folder is one FAT accepts.
#include <optional>
#include <string>
#include <string_view>

#include "engine/DestinationSettings.h"
#include "engine/NamePattern.h"
#include "engine/NameValues.h"

class OutputNaming {
public:
    // A pattern that does not parse names nothing: the front ends refuse it before planning.
    explicit OutputNaming(const DestinationSettings& destination);

    // The outputs are named from tags, which must be read into NameValues::tags.
    bool ReadsTags() const { return pattern_ && pattern_->UsesTags(); }

    // The input's folder ("" or "a/b/") relative to the library folder when it lies below it,
    // else subFolder, its folder below the folder it was marked or given in.
    std::string FolderOf(std::string_view input, std::string_view subFolder) const;

    // The output path of input; values as ReadNameValues gives them, their folder from FolderOf.
    // A part of an input (a track of an album) is named by its tags, without a pattern too.
    std::string OutputPath(std::string_view input, const NameValues& values, bool keepTree,
                           bool part = false) const;

private:
    std::string PartName(const NameValues& values, std::size_t extensionBytes) const;

    DestinationSettings destination_;
    std::string base_; // the library folder, lexically normal, with a trailing '/'; or empty
    std::optional<NamePattern> pattern_;
    NamePattern partPattern_;
};
