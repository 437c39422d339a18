#include "choices/PresetBook.h"

#include <algorithm>
#include <charconv>

#include "catalog/FormatOptions.h"
#include "catalog/FormatTable.h"
#include "system/FileNames.h"

namespace {
struct BuiltInPreset {
    std::string_view Name;
    std::string_view Target; // the format's key, as --to takes it
    std::string_view Flag;   // the option set, as the command line names it
    int32_t Value;
};

constexpr BuiltInPreset BuiltIns[] = {
    {"Phone (Opus 128 kbit/s)", "opus", "--bitrate", 128},
    {"Car (MP3 256 kbit/s)", "mp3", "--bitrate", 256},
};

const std::string PresetsKey = std::string(SettingsKey) + "\\Presets";

bool SameName(std::string_view a, std::string_view b) {
    return UpperAscii(a) == UpperAscii(b);
}

const BuiltInPreset* FindBuiltIn(std::string_view name) {
    const auto it =
        std::ranges::find_if(BuiltIns, [&](const auto& p) { return SameName(p.Name, name); });
    return it == std::end(BuiltIns) ? nullptr : &*it;
}

// A name as a key name: '\' would part the key path, so it and the escape itself are written as
// "%5C" and "%25".
std::string KeyName(std::string_view name) {
    std::string key;
    for (const char c : name) {
        key += c == '\\' ? "%5C" : c == '%' ? "%25" : std::string(1, c);
    }
    return key;
}

std::string NameOfKey(std::string_view key) {
    std::string name;
    for (std::size_t i = 0; i < key.size(); ++i) {
        unsigned char code = 0;
        if (key[i] == '%' && i + 2 < key.size() &&
            std::from_chars(key.data() + i + 1, key.data() + i + 3, code, 16).ptr ==
                key.data() + i + 3) {
            name += static_cast<char>(code);
            i += 2;
        } else {
            name += key[i];
        }
    }
    return name;
}

std::string PresetKey(std::string_view name) {
    return PresetsKey + "\\" + KeyName(name);
}

std::vector<std::string> UserNames() {
    std::vector<std::string> names;
    for (const std::string& key : StoreSubKeys(StoreRoot::User, PresetsKey)) {
        names.push_back(NameOfKey(key));
    }
    return names;
}

std::optional<std::string> FindUserPreset(std::string_view name) {
    for (std::string& stored : UserNames()) {
        if (SameName(stored, name)) {
            return std::move(stored);
        }
    }
    return std::nullopt;
}

void ApplyBuiltIn(const BuiltInPreset& preset, ConverterChoices& choices) {
    const FormatInfo* format = FindTargetFormat(preset.Target);
    choices.Target = format->Number;
    // The format's other options as a new user has them, so the preset always gives one result.
    for (const FormatOption* option : format->Options) {
        choices.Options.Set(*option, option->FirstChoice());
    }
    choices.Options.Set(*FindFormatOption(preset.Flag, format->Number), preset.Value);
}

std::size_t Characters(std::string_view utf8) {
    return static_cast<std::size_t>(std::ranges::count_if(
        utf8, [](char c) { return (static_cast<unsigned char>(c) & 0xc0) != 0x80; }));
}
} // namespace

std::vector<std::string> PresetBook::Names() {
    std::vector<std::string> names;
    for (const BuiltInPreset& preset : BuiltIns) {
        names.emplace_back(preset.Name);
    }
    for (std::string& name : UserNames()) {
        // A stored one of a built-in's name (written by another program) can never be used.
        if (!IsBuiltIn(name)) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

bool PresetBook::IsBuiltIn(std::string_view name) {
    return FindBuiltIn(name) != nullptr;
}

std::optional<std::string> PresetBook::Find(std::string_view name) {
    if (const BuiltInPreset* preset = FindBuiltIn(name)) {
        return std::string(preset->Name);
    }
    return FindUserPreset(name);
}

std::string PresetBook::NameProblem(std::string_view name) {
    if (name.find_first_not_of(' ') == std::string_view::npos) {
        return "A preset needs a name.";
    }
    if (Characters(name) > MostNameCharacters) {
        return "A preset name may be at most " + std::to_string(MostNameCharacters) +
               " characters long.";
    }
    if (std::ranges::any_of(
            name, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; })) {
        return "A preset name may not hold tabs, line breaks or other control characters.";
    }
    if (const BuiltInPreset* preset = FindBuiltIn(name)) {
        return "'" + std::string(preset->Name) + "' is a built-in preset; it cannot be changed.";
    }
    return {};
}

bool PresetBook::Save(std::string_view name, const ConverterChoices& choices, std::string& error) {
    error = NameProblem(name);
    if (!error.empty()) {
        return false;
    }
    if (!StoreReplaceKey(StoreRoot::User,
                         PresetKey(FindUserPreset(name).value_or(std::string(name))),
                         choices.Entries())) {
        error = "Unable to write to '" + SettingsStorePath() + "'.";
        return false;
    }
    return true;
}

bool PresetBook::Delete(std::string_view name, std::string& error) {
    if (const BuiltInPreset* preset = FindBuiltIn(name)) {
        error = "'" + std::string(preset->Name) + "' is a built-in preset; it cannot be deleted.";
        return false;
    }
    const std::optional<std::string> stored = FindUserPreset(name);
    if (!stored) {
        error = "There is no preset called '" + std::string(name) + "'.";
        return false;
    }
    if (!StoreDeleteKey(StoreRoot::User, PresetKey(*stored))) {
        error = "Unable to write to '" + SettingsStorePath() + "'.";
        return false;
    }
    return true;
}

bool PresetBook::ApplyTo(std::string_view name, ConverterChoices& choices) {
    if (const BuiltInPreset* preset = FindBuiltIn(name)) {
        ApplyBuiltIn(*preset, choices);
        return true;
    }
    const std::optional<std::string> stored = FindUserPreset(name);
    if (!stored) {
        return false;
    }
    ConverterChoices preset = ConverterChoices::Load(PresetKey(*stored));
    preset.Jobs = choices.Jobs;
    preset.Notices.insert(preset.Notices.begin(), choices.Notices.begin(), choices.Notices.end());
    choices = std::move(preset);
    return true;
}
