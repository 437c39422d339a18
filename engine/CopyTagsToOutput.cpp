#include "engine/CopyTagsToOutput.h"

#include <array>
#include <exception>

#include "engine/ConversionSettings.h"
#include "tags/CopyAudioTags.h"

namespace {
// Indexed by TargetFormat.
constexpr std::array<AudioFileKind, 3> OutputKinds = {AudioFileKind::Wave, AudioFileKind::Mp3,
                                                      AudioFileKind::Wma};
} // namespace

void CopyTagsToOutput(const std::string& input, const ConversionSettings& settings) {
    if (!settings.CopyTags || settings.TargetFormat >= OutputKinds.size()) {
        return;
    }
    try {
        CopyAudioTags(input, settings.OutputPath, OutputKinds[settings.TargetFormat]);
    } catch (const std::exception&) {
        // Tags come along at best: even running out of memory for them keeps the converted file,
        // which they leave as it was.
    }
}
