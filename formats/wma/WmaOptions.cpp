#include "formats/wma/WmaOptions.h"

#include <optional>

#include "catalog/ConversionSettings.h"
#include "formats/ChannelCountWords.h"

namespace {
// Low to high bit rate, as every format's bit rates are listed; the value is the entry of
// WmaQualities.
constexpr OfferedValue Entries[] = {
    {7, "32000Khz   36Kbps Stereo"}, {6, "32000Khz   48Kbps Stereo"},
    {4, "44100Khz   48Kbps Stereo"}, {5, "32000Khz   64Kbps Stereo"},
    {3, "44100Khz   64Kbps Stereo"}, {2, "44100Khz   96Kbps Stereo"},
    {1, "44100Khz 128Kbps Stereo"},  {0, "44100Khz 160Kbps Stereo"},
};
static_assert(std::size(Entries) == WmaQualities.size());
// Earlier versions listed them in the order of WmaQualities, and stored that list's item.
constexpr int32_t EntriesStored[] = {0, 1, 2, 3, 4, 5, 6, 7};
static_assert(std::size(EntriesStored) == WmaQualities.size());

// The entry of that value, if there is one.
std::optional<WmaQuality> QualityOf(int32_t value) {
    if (value < 0 || static_cast<std::size_t>(value) >= WmaQualities.size()) {
        return std::nullopt;
    }
    return WmaQualities[static_cast<std::size_t>(value)];
}
} // namespace

const FormatOption WmaQualityOption = {
    .Caption = "quality",
    .Flag = "--wma-quality",
    .StoredName = "BrConvWMAQual",
    .Least = 0,
    .Most = static_cast<int32_t>(WmaQualities.size()) - 1,
    .ZeroKeepsInput = false,
    .Unit = "",
    .Default = 0,
    .Offered = Entries,
    .Stored = StoredAs::Item,
    .Label = "Quality",
    .StoredOrder = EntriesStored,
};

std::string WmaOptionWords(const FormatOption& option, int32_t value) {
    const std::optional<WmaQuality> quality = QualityOf(value);
    if (&option != &WmaQualityOption || !quality) {
        return {};
    }
    return std::to_string(quality->SampleRate) + " Hz " + std::to_string(quality->Kbps) + " kbit/s";
}

std::vector<std::string> WmaSettingsWords(const ConversionSettings& settings) {
    const std::optional<WmaQuality> quality = QualityOf(settings.Options.Of(WmaQualityOption));
    if (!quality) {
        return {};
    }
    return {std::to_string(quality->Kbps) + " kbit/s", std::to_string(quality->SampleRate) + " Hz",
            ChannelCountWords(WmaChannels)};
}
