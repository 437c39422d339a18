#include "cli/PresetChoice.h"

#include <cstdio>

#include "catalog/FormatTable.h"
#include "choices/PresetBook.h"
#include "cli/ConvertCommand.h"
#include "engine/CodecCheck.h"

int ListPresets() {
    for (const std::string& name : PresetBook::Names()) {
        std::printf("%s\n", name.c_str());
    }
    return ExitConverted;
}

bool StoredChoicesWithPreset(const CliOptions& options, ConverterChoices& choices,
                             std::string& error) {
    choices = ConverterChoices::Load();
    if (options.preset && !PresetBook::ApplyTo(*options.preset, choices)) {
        error = "no preset is called '" + *options.preset + "' (see --list-presets)";
        return false;
    }
    return true;
}

void ApplyPresetDestination(const ConverterChoices& choices, CliOptions& options) {
    // The built-in presets choose a format alone; the window's destination is not the command
    // line's either.
    if (!options.preset || PresetBook::IsBuiltIn(*options.preset) || !choices.ToThisFolder ||
        choices.Folder.empty()) {
        return;
    }
    if (!options.outputDir) {
        options.outputDir = choices.Folder;
    }
    options.flat = options.flat || !choices.KeepTree;
}

std::optional<int> RefuseUnwritablePreset(const CliOptions& options, uint8_t target,
                                          const std::vector<std::string>& codecFolders) {
    if (!options.preset || options.target) {
        return std::nullopt;
    }
    const std::vector<std::string> missing = MissingCodecModules(target, {}, codecFolders);
    if (missing.empty()) {
        return std::nullopt;
    }
    std::fprintf(stderr,
                 "brindlex-convert: the preset '%s' converts to %s, which cannot be written:\n",
                 PresetBook::Find(*options.preset).value_or(*options.preset).c_str(),
                 std::string(FindTargetFormat(target)->Name).c_str());
    for (const std::string& line : missing) {
        std::fprintf(stderr, "brindlex-convert: %s\n", line.c_str());
    }
    std::fprintf(stderr, "brindlex-convert: nothing was converted.\n");
    return ExitNoCodecModule;
}
