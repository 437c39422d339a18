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

const FormatOption OutputChannelsOption = {"channels",   "--channels", "BrConvOutChannels",
                                           1,            8,            true,
                                           "",           &ConversionSettings::OutputChannels,
                                           ChannelCounts};
const FormatOption OutputSampleRateOption = {"sample rate", "--rate",   "BrConvOutRate",
                                             8000,          192000,     true,
                                             "Hz",          &ConversionSettings::OutputSampleRate,
                                             SampleRates};
