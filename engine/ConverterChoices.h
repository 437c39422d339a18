#pragma once
// The user's choices of target format, destination and encoder options, as the options window
// keeps them in the settings store between runs. The command line starts from the same choices.
#include <cstdint>
#include <string>

#include "catalog/ConversionSettings.h"
#include "catalog/OptionValues.h"

struct ConverterChoices {
    uint8_t Target = DefaultTargetFormat;
    bool ToThisFolder = false;
    // The stored destination folder; empty when none was stored.
    std::string Folder;
    // The encoder options of every format (FormatOptions.h), each at what a new user starts
    // with; an option of a list without a selection has no value.
    OptionValues Options = FirstChoices();
    // How many files the window converts at once: 0 for one per processor core, 1 for one after
    // another in the window's own process.
    uint32_t Jobs = 0;
    // "Keep folder tree": outputs into the chosen folder go below it as their inputs lie below
    // the marked folders.
    bool KeepTree = false;

    static OptionValues FirstChoices();
    // Reads the stored values; a missing value gives the first choice, a value outside its list
    // leaves that list without a selection, a number outside its range is the default.
    static ConverterChoices Load();
    // Writes the values back in the same encoding.
    void Save() const;

    // Puts the target and the encoder options into the settings record; a list without a
    // selection leaves its value as it was.
    void ApplyTo(ConversionSettings& settings) const;
};
