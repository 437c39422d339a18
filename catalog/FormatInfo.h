#pragma once
// Everything the program knows of one audio format: what people and the command line call it, its
// file names and MIME types, the codec modules it needs, its encoder options, and how it is read,
// written and tagged. Each format's folder below formats/ fills one; formats/FormatRegistry.cpp
// lists them.
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "catalog/CodecModuleNeed.h"
#include "catalog/FormatOption.h"

class AudioSink;
class AudioSource;
struct RowContext;
struct TagFormat;
struct WAVEFORMATEX;
enum class ConversionError : uint8_t;

struct FormatInfo {
    // A source for one input: it comes back in every case but an unreadable type (nullptr), with
    // code telling whether it opened.
    using SourceMaker = std::unique_ptr<AudioSource> (*)(const char* inputPath,
                                                         const RowContext& row,
                                                         ConversionError& code);
    // A sink writing row.OutputPath from PCM of pcmFormat; ok tells whether it was set up.
    using SinkMaker = std::unique_ptr<AudioSink> (*)(const WAVEFORMATEX* pcmFormat,
                                                     const RowContext& row, bool& ok);

    std::string_view Key;         // on the command line, lower case: "wav"
    std::string_view Name;        // for people: "WAVE"
    std::string_view Description; // the options window's line under the format buttons
    // The options window's button for it: what its tooltip and a screen reader say, and its
    // picture, an SVG file in the format's folder (the window's resources hold it by that name).
    // Empty for a format only read.
    std::string_view ButtonName;
    std::string_view Picture;
    // The file selector's "Convert [From]" box for its files: "Mp3" captions it "Mp3 File(s)",
    // and the boxes are laid out by BoxPlace, lowest first. Empty for a format only written.
    std::string_view FilesName;
    uint8_t BoxPlace = 0;
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
    // The encoder options given as numbers that apply to it, in the order the window shows them.
    std::span<const FormatOption* const> Options;
    SourceMaker MakeSource = nullptr;
    SinkMaker MakeSink = nullptr;
    // How its files keep their tags.
    const TagFormat* Tags = nullptr;

    bool IsTarget() const { return Number != NotATarget; }
    bool IsInput() const { return !InputExtensions.empty(); }
};
