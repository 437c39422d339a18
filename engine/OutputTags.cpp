#include "engine/OutputTags.h"

#include <exception>

#include "engine/ConversionSettings.h"
#include "formats/FormatTable.h"
#include "tags/CopyAudioTags.h"
#include "tags/ReadAudioTags.h"

OutputTags::OutputTags(const std::string& input, const ConversionSettings& settings)
    : target_(settings.TargetFormat) {
    if (!settings.CopyTags || !FindTargetFormat(target_)) {
        return;
    }
    try {
        tags_ = std::make_unique<AudioTags>(ReadAudioTagsOfFile(input));
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
        CopyAudioTags(*tags_, outputFd, FindTargetFormat(target_)->TagKind);
    } catch (const std::exception&) {
        // Thrown before anything was written: the converted file stays as it was.
    }
}
