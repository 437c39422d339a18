#pragma once
// Everything the program knows of one audio format: what people and the command line call it, its
// file names and MIME types, the codec modules it needs, its encoder options, and how it is read,
// written and tagged. Each format's folder below formats/ fills one; formats/FormatRegistry.cpp
// lists them.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/CodecModuleNeed.h"
#include "catalog/FormatOption.h"
#include "catalog/FormatTextOption.h"

class AudioSink;
class AudioSource;
struct ConversionSettings;
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
    // What the sink's encoder takes from a source of PCM in input: a wave format record followed
    // by its cbSize extra bytes, into which the sink holder converts every block; empty when it
    // can take nothing from such a source.
    using SinkInputChooser = std::vector<uint8_t> (*)(const WAVEFORMATEX& input,
                                                      const ConversionSettings& settings);
    // The format's own words for a value of one of its options ("mono"); empty where it has none.
    using ValueWordsOf = std::string (*)(const FormatOption& option, int32_t value);
    // What a job's settings make of its outputs, in words: {"160 kbit/s", "44100 Hz", "stereo"}.
    using SettingsWordsOf = std::vector<std::string> (*)(const ConversionSettings& settings);
    // The message that refuses a whole job this format takes part in before it starts, beyond
    // a missing codec module (which every format's ReadModules and WriteModules tell); empty
    // when the job may start.
    using JobRefuser = std::string (*)(uint8_t target, const std::vector<std::string>& inputs,
                                       const std::vector<std::string>& codecFolders);

    std::string_view Key;  // on the command line, lower case: "wav"
    std::string_view Name; // for people: "WAVE"
    // In a sentence that lists the formats, when not Name: "Ogg Vorbis".
    std::string_view FullName = {};
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
    // Its encoder keeps every sample it is given in the sample format it is given them: its
    // files decode to exactly what they were made from.
    bool Lossless = false;
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
    // The encoder options that apply to it, in the order the window shows them.
    std::span<const FormatOption* const> Options;
    // The highest sample rate its encoder writes, where it has a limit of its own (0: none): a
    // higher rate chosen refuses the job, and an input's higher rate is written at this one.
    int32_t MostSampleRate = 0;
    SourceMaker MakeSource = nullptr;
    SinkMaker MakeSink = nullptr;
    // Null: the sink takes the source's PCM as it is (its module converts it itself).
    SinkInputChooser SinkTakes = nullptr;
    // How its files keep their tags.
    const TagFormat* Tags = nullptr;
    // Null for a format without a check of its own before a job.
    JobRefuser RefuseJob = nullptr;
    // Words for the values of its options that are no plain numbers; null: none has any.
    ValueWordsOf ValueWords = nullptr;
    // null: each option's value, in the order of Options.
    SettingsWordsOf SettingsWords = nullptr;
    // Its choice that is given as text rather than as a number; null: none.
    const FormatTextOption* TextOption = nullptr;
    // What it is, for the help page's list of formats (HTML).
    std::string_view HelpText = {};

    std::string_view SentenceName() const { return FullName.empty() ? Name : FullName; }
    bool IsTarget() const { return Number != NotATarget; }
    bool IsInput() const { return !InputExtensions.empty(); }
};
