#include "engine/OutputTags.h"

#include <array>
#include <exception>
#include <optional>

#include "engine/ConversionSettings.h"
#include "tags/CopyAudioTags.h"
#include "tags/ReadAudioTags.h"

namespace {
// Indexed by TargetFormat; a format without an entry gets no tags.
constexpr std::array<std::optional<AudioFileKind>, 8> OutputKinds = {
    AudioFileKind::Wave, AudioFileKind::Mp3, AudioFileKind::Wma, std::nullopt,
    std::nullopt,        std::nullopt,       AudioFileKind::Mp4, AudioFileKind::Mp4};
} // namespace

OutputTags::OutputTags(const std::string& input, const ConversionSettings& settings)
    : target_(settings.TargetFormat) {
    if (!settings.CopyTags || target_ >= OutputKinds.size() || !OutputKinds[target_]) {
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
        CopyAudioTags(*tags_, outputFd, *OutputKinds[target_]);
    } catch (const std::exception&) {
        // Thrown before anything was written: the converted file stays as it was.
    }
}
