#include "engine/OutputTags.h"

#include <array>
#include <exception>

#include "engine/ConversionSettings.h"
#include "tags/CopyAudioTags.h"
#include "tags/ReadAudioTags.h"

namespace {
// Indexed by TargetFormat.
constexpr std::array<AudioFileKind, 6> OutputKinds = {AudioFileKind::Wave, AudioFileKind::Mp3,
                                                      AudioFileKind::Wma,  AudioFileKind::Flac,
                                                      AudioFileKind::Opus, AudioFileKind::Vorbis};
} // namespace

OutputTags::OutputTags(const std::string& input, const ConversionSettings& settings)
    : target_(settings.TargetFormat) {
    if (!settings.CopyTags || target_ >= OutputKinds.size()) {
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
        CopyAudioTags(*tags_, outputFd, OutputKinds[target_]);
    } catch (const std::exception&) {
        // Thrown before anything was written: the converted file stays as it was.
    }
}
