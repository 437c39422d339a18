#include "catalog/OutputShapeOptions.h"

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
