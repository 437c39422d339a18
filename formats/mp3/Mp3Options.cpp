#include "formats/mp3/Mp3Options.h"

#include "formats/ChannelCountWords.h"

namespace {
constexpr OfferedValue SampleRates[] = {
    {48000, "48Khz 320kbs"},
    {44100, "44.1Khz (CD Quality)"},
    {32000, "32Khz"},
};
constexpr OfferedValue BitRates[] = {
    {320, "320 Kbps"}, {256, "256 Kbps"}, {192, "192 Kbps"}, {160, "160 Kbps"},
    {128, "128 Kbps"}, {96, "  96 Kbps"}, {64, "  64 Kbps"}, {56, "  56 Kbps"},
};
constexpr OfferedValue Channels[] = {{0, "Stereo", "stereo.svg"}, {1, "Mono", "mono.svg"}};
} // namespace

const FormatOption Mp3SampleRateOption = {
    .Caption = "sample rate",
    .Flag = "--rate",
    .StoredName = "BrConvMP3Freq",
    .Least = 32000,
    .Most = 48000,
    .ZeroKeepsInput = false,
    .Unit = "Hz",
    .Default = 44100,
    .Offered = SampleRates,
    .OnlyOffered = true,
    .Stored = StoredAs::ItemPlusOne,
    .Label = "Freq",
    .Picture = "freq.svg",
};

const FormatOption Mp3BitRateOption = {
    .Caption = "bit rate",
    .Flag = "--bitrate",
    .StoredName = "BrConvMP3Bit",
    .Least = 56,
    .Most = 320,
    .ZeroKeepsInput = false,
    .Unit = "kbit/s",
    .Default = 128,
    .Offered = BitRates,
    .OnlyOffered = true,
    .Stored = StoredAs::ItemPlusOne,
    .Initial = 192,
    .Label = "Bit Rate",
    .Picture = "bitrate.svg",
};

const FormatOption Mp3MonoOption = {
    .Caption = "mono",
    .Flag = "--mono",
    .StoredName = "BrConvMono",
    .Least = 0,
    .Most = 1,
    .ZeroKeepsInput = false,
    .Unit = "",
    .Default = 0,
    .Offered = Channels,
    .Stored = StoredAs::Flag,
    .IsSwitch = true,
};

std::string Mp3OptionWords(const FormatOption& option, int32_t value) {
    if (&option != &Mp3MonoOption) {
        return {};
    }
    return ChannelCountWords(value == Mp3MonoOption.Most ? 1 : 2);
}
