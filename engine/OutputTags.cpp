#include "engine/OutputTags.h"

#include <exception>

#include "catalog/ConversionSettings.h"
#include "catalog/FormatTable.h"
#include "engine/ConversionError.h"
#include "tags/CopyAudioTags.h"
#include "tags/CoverStep.h"
#include "tags/ReadAudioTags.h"

OutputTags::OutputTags(const std::string& input, const ConversionSettings& settings)
    : target_(settings.TargetFormat) {
    const FormatInfo* format = FindTargetFormat(target_);
    if (!settings.CopyTags || !format || !format->Tags) {
        return;
    }
    try {
        tags_ = std::make_unique<AudioTags>(ReadAudioTagsOfFile(input));
        std::vector<CoverProblem> problems;
        CoverStep(settings.CoverSize, settings.CoverFiles).Apply(*tags_, input, problems);
        for (const CoverProblem& problem : problems) {
            lines_.push_back(CoverProblemLine(problem, input));
        }
    } catch (const std::exception&) {
        // Even running out of memory for them only leaves the tags behind.
    }
}

OutputTags::~OutputTags() = default;

void OutputTags::WriteTo(int outputFd) const {
    if (!tags_) {
        return;
    }
    try {
        CopyAudioTags(*tags_, outputFd, *FindTargetFormat(target_)->Tags);
    } catch (const std::exception&) {
        // Thrown before anything was written: the converted file stays as it was.
    }
}
