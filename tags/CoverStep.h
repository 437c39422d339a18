#pragma once
// Covers a player can show: the input's front cover scaled down to fit a size, or, for an input
// without one, the cover picture of its folder. Other pictures go as they came. A picture that
// cannot be used is left out with a problem to tell; the audio never depends on it.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tags/AudioTags.h"
#include "tags/CoverProblem.h"

class CoverStep {
public:
    // size: 0 carries front covers as they are. folderNames: the folder's picture files to look
    // for (FolderCover.h); empty: none.
    CoverStep(uint32_t size, std::span<const std::string> folderNames)
        : size_(size), folderNames_(folderNames) {}

    // Fits the front cover of tags, read from the input at inputPath, or gives it the folder's.
    void Apply(AudioTags& tags, const std::string& inputPath,
               std::vector<CoverProblem>& problems) const;

private:
    // picture fitted to the size (its data and MIME type replaced when scaled); false with the
    // cause in problem when it cannot be used.
    bool Fit(AudioTags::Picture& picture, CoverProblem& problem) const;
    void AddFolderCover(AudioTags& tags, const std::string& inputPath,
                        std::vector<CoverProblem>& problems) const;

    uint32_t size_;
    std::span<const std::string> folderNames_;
};
