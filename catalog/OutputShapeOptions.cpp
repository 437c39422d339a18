#include "catalog/OutputShapeOptions.h"

#include "catalog/FormatOptions.h"
#include "catalog/FormatTable.h"

namespace {
constexpr OfferedValue ChannelCounts[] = {{0, "As the input"}, {1, "1 (Mono)"}, {2, "2 (Stereo)"}};
constexpr OfferedValue SampleRates[] = {
    {0, "As the input"},
    {8000},
    {11025},
    {16000},
    {22050},
    {24000},
    {32000},
    {44100},
    {48000},
    {88200},
    {96000},
    {176400},
    {192000},
};
} // namespace

const FormatOption OutputChannelsOption = {
    .Caption = "channels",
    .Flag = "--channels",
    .StoredName = "BrConvOutChannels",
    .Least = 1,
    .Most = 8,
    .ZeroKeepsInput = true,
    .Unit = "",
    .Default = 0,
    .Offered = ChannelCounts,
};
const FormatOption OutputSampleRateOption = {
    .Caption = "sample rate",
    .Flag = "--rate",
    .StoredName = "BrConvOutRate",
    .Least = 8000,
    .Most = 192000,
    .ZeroKeepsInput = true,
    .Unit = "Hz",
    .Default = 0,
    .Offered = SampleRates,
};

int32_t MostSampleRateOf(uint8_t target) {
    const FormatInfo* format = FindTargetFormat(target);
    return format && format->MostSampleRate != 0 ? format->MostSampleRate
                                                 : OutputSampleRateOption.Most;
}

std::optional<int32_t> UnwritableSampleRate(const ConversionSettings& settings) {
    if (!OptionAppliesTo(OutputSampleRateOption, settings.TargetFormat)) {
        return std::nullopt;
    }
    const int32_t rate = settings.Options.Of(OutputSampleRateOption);
    if (rate <= MostSampleRateOf(settings.TargetFormat)) {
        return std::nullopt;
    }
    return rate;
}
