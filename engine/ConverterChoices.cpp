#include "engine/ConverterChoices.h"

#include "catalog/FormatOptions.h"
#include "catalog/FormatTable.h"
#include "system/SettingsStore.h"

namespace {
// A Linux path, not the 260 bytes of a fixed buffer.
constexpr std::size_t FolderBufferSize = 4096;

uint32_t Stored(std::string_view name) {
    return StoreReadNumber(StoreRoot::User, SettingsKey, name);
}

void Store(std::string_view name, uint32_t value) {
    StoreWriteNumber(value, StoreRoot::User, SettingsKey, name);
}

// A stored target number that names no format (or none at all) gives the default.
uint8_t StoredTarget() {
    const uint32_t stored = Stored("BrConvTo");
    const FormatInfo* format =
        stored <= UINT8_MAX ? FindTargetFormat(static_cast<uint8_t>(stored)) : nullptr;
    return format ? format->Number : uint8_t{DefaultTargetFormat};
}

// A number is stored as the bits of the signed number; a missing or unacceptable one gives the
// default.
std::optional<int32_t> StoredNumber(const FormatOption& option) {
    if (!StoreValueExists(StoreRoot::User, SettingsKey, option.StoredName)) {
        return option.FirstChoice();
    }
    const auto value = static_cast<int32_t>(Stored(option.StoredName));
    return option.Accepts(value) ? value : option.Default;
}

// A list's item; an index outside the list leaves it without a selection.
std::optional<int32_t> StoredItem(const FormatOption& option) {
    uint32_t item = Stored(option.StoredName);
    if (option.Stored == StoredAs::ItemPlusOne) {
        // 0, or nothing stored, selects the first choice.
        item = item == 0 ? static_cast<uint32_t>(option.ItemOf(option.FirstChoice()).value_or(0))
                         : item - 1;
    }
    if (item >= option.Offered.size()) {
        return std::nullopt;
    }
    return option.Offered[item].Value;
}

std::optional<int32_t> StoredValue(const FormatOption& option) {
    switch (option.Stored) {
    case StoredAs::Value:
        return StoredNumber(option);
    case StoredAs::Flag:
        return Stored(option.StoredName) != 0 ? option.Most : option.Least;
    case StoredAs::Item:
    case StoredAs::ItemPlusOne:
        break;
    }
    return StoredItem(option);
}

// A list without a selection has item index -1, stored as is.
uint32_t StoreEncoding(const FormatOption& option, std::optional<int32_t> value) {
    if (option.Stored == StoredAs::Value || option.Stored == StoredAs::Flag) {
        return static_cast<uint32_t>(value.value_or(option.Default));
    }
    const std::optional<std::size_t> item = value ? option.ItemOf(*value) : std::nullopt;
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

ConverterChoices ConverterChoices::Load() {
    ConverterChoices c;
    c.Target = StoredTarget();
    c.ToThisFolder = Stored("BrConvToLocOpt") != 0;
    c.Folder = StoreReadText(StoreRoot::User, SettingsKey, "BrConvToFolder", FolderBufferSize);
    c.Jobs = Stored("BrConvJobs");
    c.KeepTree = Stored("BrConvKeepTree") != 0;
    for (const FormatOption& option : FormatOptions()) {
        if (const std::optional<int32_t> value = StoredValue(option)) {
            c.Options.Set(option, *value);
        } else {
            c.Options.Clear(option);
        }
    }
    return c;
}

void ConverterChoices::Save() const {
    Store("BrConvTo", FindTargetFormat(Target) ? Target : uint8_t{DefaultTargetFormat});
    Store("BrConvToLocOpt", ToThisFolder ? 1 : 0);
    StoreWriteText(Folder, StoreRoot::User, SettingsKey, "BrConvToFolder");
    Store("BrConvJobs", Jobs);
    Store("BrConvKeepTree", KeepTree ? 1 : 0);
    for (const FormatOption& option : FormatOptions()) {
        Store(option.StoredName, StoreEncoding(option, Options.Chosen(option)));
    }
}

void ConverterChoices::ApplyTo(ConversionSettings& settings) const {
    settings.TargetFormat = Target;
    for (const FormatOption& option : FormatOptions()) {
        if (const std::optional<int32_t> value = Options.Chosen(option)) {
            settings.Options.Set(option, *value);
        }
    }
}
