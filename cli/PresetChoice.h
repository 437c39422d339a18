#pragma once
// --preset and --list-presets: the command line starts from a preset (PresetBook) the way the
// window's choices start a job, and the options given override it.
#include <optional>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "engine/ConverterChoices.h"

// Prints the presets' names, one a line, the built-in ones first.
int ListPresets();
// The stored choices with the preset of --preset over them; false with a one-line reason when no
// preset has that name.
bool StoredChoicesWithPreset(const CliOptions& options, ConverterChoices& choices,
                             std::string& error);
// A saved preset that sends the outputs to a folder gives that folder unless -o does, and without
// "keep folder tree" puts them there as --flat does.
void ApplyPresetDestination(const ConverterChoices& choices, CliOptions& options);
// When the preset's format is the target (no --to replaced it) and a module writing it is missing:
// says so, naming the preset, the format and the module, and gives the exit code.
std::optional<int> RefuseUnwritablePreset(const CliOptions& options, uint8_t target,
                                          const std::vector<std::string>& codecFolders);
