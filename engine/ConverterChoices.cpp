#include "engine/ConverterChoices.h"

#include "catalog/FormatOptions.h"
#include "catalog/FormatTable.h"
#include "system/SettingsStore.h"

namespace {
// A Linux path (or a naming pattern), not the 260 bytes of a fixed buffer.
constexpr std::size_t FolderBufferSize = 4096;

using Notices = std::vector<std::string>;

StoreNumber Stored(std::string_view key, std::string_view name) {
    return StoreReadNumberAsStored(StoreRoot::User, key, name);
}

void Store(std::string_view name, uint32_t value) {
    StoreWriteNumber(value, StoreRoot::User, SettingsKey, name);
}

void NoteUnusable(std::string_view name, const StoreNumber& stored, const std::string& used,
                  Notices& notices) {
    notices.push_back("the stored setting " + std::string(name) + " = " + stored.Shown +
                      " is not valid; the default " + used + " is used");
}

// The stored number, 0 when none is stored; one that is not a number is noted, giving 0.
uint32_t StoredNumberOr0(std::string_view key, std::string_view name, Notices& notices) {
    const StoreNumber stored = Stored(key, name);
    if (stored.Exists && !stored.Number) {
        NoteUnusable(name, stored, "0", notices);
    }
    return stored.Number.value_or(0);
}

// A stored target number that names no format (or none at all) gives the default.
uint8_t StoredTarget(std::string_view key, Notices& notices) {
    constexpr std::string_view Name = "BrConvTo";
    const StoreNumber stored = Stored(key, Name);
    const FormatInfo* format = stored.Number && *stored.Number <= UINT8_MAX
                                   ? FindTargetFormat(static_cast<uint8_t>(*stored.Number))
                                   : nullptr;
    if (format) {
        return format->Number;
    }
    if (stored.Exists) {
        NoteUnusable(Name, stored, std::string(FindTargetFormat(DefaultTargetFormat)->Name),
                     notices);
    }
    return DefaultTargetFormat;
}

// What a value of the option is called in a notice: "192 kbit/s", "0 (as the input)".
std::string Words(const FormatOption& option, int32_t value) {
    if (option.ZeroKeepsInput && value == 0) {
        return "0 (as the input)";
    }
    return std::to_string(value) + (option.Unit.empty() ? "" : " " + std::string(option.Unit));
}

// A number is stored as the bits of the signed number; a missing one gives the first choice, an
// unacceptable one the default.
std::optional<int32_t> StoredNumber(const FormatOption& option, const StoreNumber& stored,
                                    Notices& notices) {
    if (!stored.Exists) {
        return option.FirstChoice();
    }
    const auto value = static_cast<int32_t>(*stored.Number);
    if (option.Accepts(value)) {
        return value;
    }
    NoteUnusable(option.StoredName, stored, Words(option, option.Default), notices);
    return option.Default;
}

// A list's item; an index outside the list leaves it without a selection.
std::optional<int32_t> StoredItem(const FormatOption& option, uint32_t item) {
    if (option.Stored == StoredAs::ItemPlusOne) {
        // 0, or nothing stored, selects the first choice.
        if (item == 0) {
            return option.FirstChoice();
        }
        --item;
    }
    return option.ValueOfStoredItem(item);
}

std::optional<int32_t> StoredValue(std::string_view key, const FormatOption& option,
                                   Notices& notices) {
    const StoreNumber stored = Stored(key, option.StoredName);
    if (stored.Exists && !stored.Number) {
        const int32_t used =
            option.Stored == StoredAs::Value ? option.Default : option.FirstChoice();
        NoteUnusable(option.StoredName, stored, Words(option, used), notices);
        return used;
    }
    switch (option.Stored) {
    case StoredAs::Value:
        return StoredNumber(option, stored, notices);
    case StoredAs::Flag:
        return stored.Number.value_or(0) != 0 ? option.Most : option.Least;
    case StoredAs::Item:
    case StoredAs::ItemPlusOne:
        break;
    }
    return StoredItem(option, stored.Number.value_or(0));
}

// A list without a selection has item index -1, stored as is.
uint32_t StoreEncoding(const FormatOption& option, std::optional<int32_t> value) {
    if (option.Stored == StoredAs::Value || option.Stored == StoredAs::Flag) {
        return static_cast<uint32_t>(value.value_or(option.Default));
    }
    const std::optional<std::size_t> item = value ? option.StoredItemOf(*value) : std::nullopt;
    const uint32_t offset = option.Stored == StoredAs::ItemPlusOne ? 1 : 0;
    return (item ? static_cast<uint32_t>(*item) : static_cast<uint32_t>(-1)) + offset;
}
} // namespace

OptionValues ConverterChoices::FirstChoices() {
    OptionValues values;
    for (const FormatOption& option : FormatOptions()) {
        values.Set(option, option.FirstChoice());
    }
    return values;
}

ConverterChoices ConverterChoices::Load(std::string_view key) {
    ConverterChoices c;
    c.Target = StoredTarget(key, c.Notices);
    c.ToThisFolder = StoredNumberOr0(key, "BrConvToLocOpt", c.Notices) != 0;
    c.Folder = StoreReadText(StoreRoot::User, key, "BrConvToFolder", FolderBufferSize);
    c.Jobs = StoredNumberOr0(key, "BrConvJobs", c.Notices);
    c.KeepTree = StoredNumberOr0(key, "BrConvKeepTree", c.Notices) != 0;
    c.NamePattern = StoreReadText(StoreRoot::User, key, "BrConvNamePattern", FolderBufferSize);
    c.BaseFolder = StoreReadText(StoreRoot::User, key, "BrConvBaseFolder", FolderBufferSize);
    c.SafeNames = StoredNumberOr0(key, "BrConvSafeNames", c.Notices) != 0;
    c.CoverSize = StoredNumberOr0(key, "BrConvCoverSize", c.Notices);
    c.FolderCover = StoredNumberOr0(key, "BrConvFolderCover", c.Notices) != 0;
    c.Mirror = StoredNumberOr0(key, "BrConvMirror", c.Notices) != 0;
    // A mode no word names (a later version's) reads as none.
    const uint32_t replayGain = StoredNumberOr0(key, "BrConvReplayGain", c.Notices);
    c.ReplayGain = replayGain < ReplayGainWords.size() ? static_cast<ReplayGainMode>(replayGain)
                                                       : ReplayGainMode::None;
    c.Verify = StoredNumberOr0(key, "BrConvVerify", c.Notices) != 0;
    c.Split = StoredNumberOr0(key, "BrConvSplit", c.Notices) != 0;
    // Only a stored text replaces the default: an empty one says "no extras".
    if (StoreValueExists(StoreRoot::User, key, "BrConvMirrorExtras")) {
        c.MirrorExtras =
            StoreReadText(StoreRoot::User, key, "BrConvMirrorExtras", FolderBufferSize);
    }
    for (const FormatOption& option : FormatOptions()) {
        if (const std::optional<int32_t> value = StoredValue(key, option, c.Notices)) {
            c.Options.Set(option, *value);
        } else {
            c.Options.Clear(option);
        }
    }
    return c;
}

std::vector<StoreEntry> ConverterChoices::Entries() const {
    std::vector<StoreEntry> entries = {
        {"BrConvTo", FindTargetFormat(Target) ? Target : uint8_t{DefaultTargetFormat}, {}},
        {"BrConvToLocOpt", ToThisFolder ? 1 : 0, {}},
        {"BrConvToFolder", std::nullopt, Folder},
        {"BrConvKeepTree", KeepTree ? 1 : 0, {}},
        {"BrConvNamePattern", std::nullopt, NamePattern},
        {"BrConvBaseFolder", std::nullopt, BaseFolder},
        {"BrConvSafeNames", SafeNames ? 1 : 0, {}},
        {"BrConvCoverSize", CoverSize, {}},
        {"BrConvFolderCover", FolderCover ? 1 : 0, {}},
        {"BrConvMirror", Mirror ? 1 : 0, {}},
        {"BrConvMirrorExtras", std::nullopt, MirrorExtras},
        {"BrConvReplayGain", static_cast<uint32_t>(ReplayGain), {}},
        {"BrConvVerify", Verify ? 1 : 0, {}},
        {"BrConvSplit", Split ? 1 : 0, {}},
    };
    for (const FormatOption& option : FormatOptions()) {
        entries.push_back(
            {std::string(option.StoredName), StoreEncoding(option, Options.Chosen(option)), {}});
    }
    return entries;
}

void ConverterChoices::Save() const {
    for (const StoreEntry& entry : Entries()) {
        if (entry.Number) {
            Store(entry.Name, *entry.Number);
        } else {
            StoreWriteText(entry.Text, StoreRoot::User, SettingsKey, entry.Name);
        }
    }
    Store("BrConvJobs", Jobs);
}

void ConverterChoices::ApplyTo(ConversionSettings& settings) const {
    settings.TargetFormat = Target;
    for (const FormatOption& option : FormatOptions()) {
        if (const std::optional<int32_t> value = Options.Chosen(option)) {
            settings.Options.Set(option, *value);
        }
    }
    settings.CoverSize = CoverSize;
    settings.ReplayGain = ReplayGain;
    settings.Verify = Verify;
    settings.CoverFiles.clear();
    if (FolderCover) {
        settings.CoverFiles.assign(DefaultCoverFiles.begin(), DefaultCoverFiles.end());
    }
}
