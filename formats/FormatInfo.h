#pragma once
// Everything the program knows of one audio format but how to read and write it: what people and
// the command line call it, its file names and MIME types, the codec modules it needs and how its
// tags are written. Sources and sinks are found by Key (SourceFactories, SinkFactories).
#include <cstdint>
#include <span>
#include <string_view>

#include "formats/AudioFileKind.h"
#include "formats/CodecModuleNeed.h"

struct FormatInfo {
    std::string_view Key;         // on the command line, lower case: "wav"
    std::string_view Name;        // for people: "WAVE"
    std::string_view Description; // the options window's line under the format buttons
    // The value of ConversionSettings::TargetFormat; NotATarget for a format only read.
    static constexpr uint8_t NotATarget = 0xff;
    uint8_t Number = NotATarget;
    std::string_view OutputExtension; // with its dot; empty for a format only read
    // Files listed, collected and handed over as this format, in the case shown; empty for a
    // format only written. Another format may write the same extension, but only one reads it.
    std::span<const std::string_view> InputExtensions;
    // Read when named one by one, but never listed or collected (a playlist's extension).
    std::span<const std::string_view> AlsoReadExtensions;
    std::span<const std::string_view> MimeTypes;
    // Whose source tells by content which of several formats with this extension a file holds.
    bool InputCheckedByContent = false;
    std::span<const CodecModuleNeed> ReadModules;
    std::span<const CodecModuleNeed> WriteModules;
    AudioFileKind TagKind;

    bool IsTarget() const { return Number != NotATarget; }
    bool IsInput() const { return !InputExtensions.empty(); }
};
