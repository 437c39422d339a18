#pragma once
// The user's choices of target format, destination and encoder options, as the options window
// keeps them in the settings store between runs. The command line starts from the same choices.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/ConversionSettings.h"

struct ConverterChoices {
    // The items a new user sees selected: "44.1Khz (CD Quality)" and "192 Kbps".
    static constexpr std::size_t DefaultMp3FreqItem = 1;
    static constexpr std::size_t DefaultMp3BitItem = 2;

    uint8_t Target = DefaultTargetFormat;
    bool ToThisFolder = false;
    // The stored destination folder; empty when none was stored.
    std::string Folder;
    // Items of the MP3 and WMA lists (TargetFormats.h); nullopt when the list has no selection.
    std::optional<std::size_t> Mp3FreqItem = DefaultMp3FreqItem;
    std::optional<std::size_t> Mp3BitItem = DefaultMp3BitItem;
    bool Mono = false;
    std::optional<std::size_t> WmaQualItem = 0;
    // The options given as numbers (FormatOptions.h), each in the field it sets; the other
    // fields are not used.
    ConversionSettings Numbers;
    // How many files the window converts at once: 0 for one per processor core, 1 for one after
    // another in the window's own process.
    uint32_t Jobs = 0;
    // "Keep folder tree": outputs into the chosen folder go below it as their inputs lie below
    // the marked folders.
    bool KeepTree = false;

    // Reads the stored values; a missing value gives the default above, a value outside
    // its list leaves that list without a selection, a number outside its range is the default.
    static ConverterChoices Load();
    // Writes the values back in the same encoding.
    void Save() const;

    // Puts the target and the encoder options into the settings record; a list without a
    // selection leaves its field as it was.
    void ApplyTo(ConversionSettings& settings) const;
};
