#include "engine/ConverterChoices.h"

#include "engine/TargetFormats.h"
#include "catalog/FormatOptions.h"
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

// The two MP3 lists are stored as item index plus 1, so 0 (missing) selects the default item.
std::optional<std::size_t> FromIndexPlusOne(uint32_t stored, std::size_t defaultItem,
                                            std::size_t count) {
    const std::size_t item = stored == 0 ? defaultItem : stored - 1;
    return item < count ? std::optional(item) : std::nullopt;
}

// A list without a selection has item index -1, stored as is.
// A stored target number that names no format (or none at all) gives the default.
uint8_t StoredTarget() {
    const uint32_t stored = Stored("BrConvTo");
    const FormatInfo* format =
        stored <= UINT8_MAX ? FindTargetFormat(static_cast<uint8_t>(stored)) : nullptr;
    return format ? format->Number : uint8_t{DefaultTargetFormat};
}

// Stored as the bits of the signed number; a missing or unacceptable value gives the default.
int32_t StoredNumber(const FormatOption& option) {
    if (!StoreValueExists(StoreRoot::User, SettingsKey, option.StoredName)) {
        return option.Default();
    }
    const auto value = static_cast<int32_t>(Stored(option.StoredName));
    return option.Accepts(value) ? value : option.Default();
}

uint32_t ItemIndex(const std::optional<std::size_t>& item, uint32_t offset) {
    return item ? static_cast<uint32_t>(*item) + offset : static_cast<uint32_t>(-1) + offset;
}
} // namespace

ConverterChoices ConverterChoices::Load() {
    ConverterChoices c;
    c.Target = StoredTarget();
    c.ToThisFolder = Stored("BrConvToLocOpt") != 0;
    c.Folder = StoreReadText(StoreRoot::User, SettingsKey, "BrConvToFolder", FolderBufferSize);
    c.Mp3FreqItem =
        FromIndexPlusOne(Stored("BrConvMP3Freq"), DefaultMp3FreqItem, Mp3SampleRates.size());
    c.Mp3BitItem = FromIndexPlusOne(Stored("BrConvMP3Bit"), DefaultMp3BitItem, Mp3BitRates.size());
    c.Mono = Stored("BrConvMono") != 0;
    const uint32_t wma = Stored("BrConvWMAQual");
    c.WmaQualItem = wma < WmaQualities.size() ? std::optional<std::size_t>(wma) : std::nullopt;
    c.Jobs = Stored("BrConvJobs");
    c.KeepTree = Stored("BrConvKeepTree") != 0;
    for (const FormatOption& option : FormatOptions()) {
        c.Numbers.*option.Field = StoredNumber(option);
    }
    return c;
}

void ConverterChoices::Save() const {
    Store("BrConvTo", FindTargetFormat(Target) ? Target : uint8_t{DefaultTargetFormat});
    Store("BrConvToLocOpt", ToThisFolder ? 1 : 0);
    StoreWriteText(Folder, StoreRoot::User, SettingsKey, "BrConvToFolder");
    Store("BrConvMP3Freq", ItemIndex(Mp3FreqItem, 1));
    Store("BrConvMP3Bit", ItemIndex(Mp3BitItem, 1));
    Store("BrConvMono", Mono ? 1 : 0);
    Store("BrConvWMAQual", ItemIndex(WmaQualItem, 0));
    Store("BrConvJobs", Jobs);
    Store("BrConvKeepTree", KeepTree ? 1 : 0);
    for (const FormatOption& option : FormatOptions()) {
        Store(option.StoredName, static_cast<uint32_t>(Numbers.*option.Field));
    }
}

void ConverterChoices::ApplyTo(ConversionSettings& settings) const {
    settings.TargetFormat = Target;
    settings.Mp3Stereo = !Mono;
    if (Mp3FreqItem) {
        settings.Mp3SampleRate = Mp3SampleRates[*Mp3FreqItem].Hz;
    }
    if (Mp3BitItem) {
        settings.Mp3BitRate = Mp3BitRates[*Mp3BitItem].Kbps;
    }
    if (WmaQualItem) {
        settings.WmaSampleRate = WmaQualities[*WmaQualItem].SampleRate;
        settings.WmaBitRate = WmaQualities[*WmaQualItem].Kbps;
    }
    for (const FormatOption& option : FormatOptions()) {
        settings.*option.Field = Numbers.*option.Field;
    }
}
