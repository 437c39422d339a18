#pragma once
// The user's choices of target format, destination and encoder options, as the options window
// keeps them in the settings store between runs. The command line starts from the same choices.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/ConversionSettings.h"
#include "catalog/OptionValues.h"
#include "system/SettingsStore.h"

// The files a mirror copies beside its outputs unless the user says otherwise: covers.
inline constexpr std::string_view DefaultMirrorExtras = "cover.jpg,folder.jpg,*.png";

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
    // "File names": the naming pattern of outputs in the chosen folder (NamePattern.h); empty
    // names each output after its input.
    std::string NamePattern;
    // "Library folder": inputs below it keep their tree, and {folder}, relative to it.
    std::string BaseFolder;
    // "Names safe for phones and memory cards".
    bool SafeNames = false;
    // A front cover larger than this many pixels on a side is scaled down to fit; 0 keeps it.
    uint32_t CoverSize = 0;
    // "Use the folder's cover picture" for an input without a front cover.
    bool FolderCover = false;
    // "Mirror": outputs in the chosen folder are kept in step with their originals (only new and
    // changed files converted, outputs of removed originals deleted), and the extras, file name
    // patterns separated by commas, copied beside them.
    bool Mirror = false;
    // "ReplayGain": measured while converting and tagged, per file or per file and album.
    ReplayGainMode ReplayGain = ReplayGainMode::None;
    // "Verify each output": each output decoded again before it takes its name.
    bool Verify = false;
    // "Split albums by their embedded cue sheet": a FLAC file whose own cue sheet lists tracks
    // is converted into its tracks.
    bool Split = false;
    std::string MirrorExtras = std::string(DefaultMirrorExtras);
    // What the load said of each stored value it could not use, one line each, naming the value,
    // its setting and what took its place. The window's choices carry those of the load they
    // started from, for the end of each job to tell.
    std::vector<std::string> Notices;

    static OptionValues FirstChoices();
    // Reads the stored values; a missing value gives the first choice, a value outside its list
    // leaves that list without a selection. A number outside its range, or a value that is no
    // number of 32 bits, gives the default (an option by value) or what nothing stored gives
    // (any other), and a notice.
    // key: the settings key, or a preset's key below it, which holds the same values.
    static ConverterChoices Load(std::string_view key = SettingsKey);
    // Writes the values back in the same encoding.
    void Save() const;
    // The values Save writes, but for how many files go at once: that belongs to the machine, not
    // to a preset.
    std::vector<StoreEntry> Entries() const;

    // Puts the target, the encoder options, the cover, ReplayGain and verify choices into the
    // settings record; a list without a selection leaves its value as it was.
    void ApplyTo(ConversionSettings& settings) const;
};
