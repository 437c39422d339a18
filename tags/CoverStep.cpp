#include "tags/CoverStep.h"

#include <algorithm>
#include <optional>

#include "tags/CoverScaler.h"
#include "tags/FolderCover.h"
#include "tags/PictureHeader.h"
#include "tags/TagPictures.h"

void CoverStep::Apply(AudioTags& tags, const std::string& inputPath,
                      std::vector<CoverProblem>& problems) const {
    const auto front =
        std::ranges::find(tags.pictures, AudioTags::FrontCover, &AudioTags::Picture::type);
    if (front == tags.pictures.end()) {
        AddFolderCover(tags, inputPath, problems);
        return;
    }
    CoverProblem problem;
    if (size_ != 0 && !Fit(*front, problem)) {
        tags.pictures.erase(front);
        problems.push_back(problem);
    }
}

bool CoverStep::Fit(AudioTags::Picture& picture, CoverProblem& problem) const {
    const std::optional<PictureHeader> header = PictureHeader::Read(picture.data);
    if (!header) {
        problem.cause = CoverProblem::Cause::Damaged;
        return false;
    }
    if (size_ == 0 || header->FitsIn(size_)) {
        return true;
    }
    // Refused before a byte is decoded: such a picture would take gigabytes.
    if (header->Pixels() > MaxCoverPixels) {
        problem.cause = CoverProblem::Cause::TooManyPixels;
        problem.width = header->width;
        problem.height = header->height;
        return false;
    }
    TagLib::ByteVector scaled = CoverScaler::Fit(picture.data, *header, size_);
    if (scaled.isEmpty()) {
        problem.cause = CoverProblem::Cause::Damaged;
        return false;
    }
    picture.data = std::move(scaled);
    picture.mimeType = "image/jpeg";
    return true;
}

void CoverStep::AddFolderCover(AudioTags& tags, const std::string& inputPath,
                               std::vector<CoverProblem>& problems) const {
    const std::optional<std::string> path = FolderCover::Find(inputPath, folderNames_);
    if (!path) {
        return;
    }
    auto data = FolderCover::Read(*path);
    if (CoverProblem* problem = std::get_if<CoverProblem>(&data)) {
        problems.push_back(*problem);
        return;
    }
    AudioTags::Picture picture{AudioTags::FrontCover, "", "",
                               std::move(std::get<TagLib::ByteVector>(data))};
    CoverProblem problem{*path};
    if (const std::optional<PictureHeader> header = PictureHeader::Read(picture.data)) {
        picture.mimeType = header->MimeType();
    }
    if (!Fit(picture, problem)) {
        problems.push_back(problem);
        return;
    }
    CarryPicture(tags.pictures, std::move(picture));
}
