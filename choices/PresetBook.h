#pragma once
// Presets: named sets of the choices the options window keeps (format and its options,
// destination, keep folder tree), used by both front ends. Two are built in; the user's are kept in
// the settings store, each a key below the settings key holding the very values the choices are
// stored under (ConverterChoices::Entries), so a choice added there joins every preset saved after.
// Names compare without regard to (ASCII) letter case, as the store's keys do.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ConverterChoices.h"

class PresetBook {
public:
    static constexpr std::size_t MostNameCharacters = 100;

    // The built-in presets, then the user's in order of name.
    static std::vector<std::string> Names();
    static bool IsBuiltIn(std::string_view name);
    // The name of the preset so called, as it is spelled; nothing when there is none.
    static std::optional<std::string> Find(std::string_view name);
    // Why a preset cannot be saved under name; empty when it can.
    static std::string NameProblem(std::string_view name);
    // Keeps the choices under name, replacing the user's preset of that name; false with the
    // reason in error.
    static bool Save(std::string_view name, const ConverterChoices& choices, std::string& error);
    static bool Delete(std::string_view name, std::string& error);
    // Puts the preset's choices over choices: a built-in's format with its options, or all that
    // a user's preset holds (how many files go at once stays). False when there is no such preset.
    static bool ApplyTo(std::string_view name, ConverterChoices& choices);
};
