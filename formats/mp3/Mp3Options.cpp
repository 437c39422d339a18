#include "formats/mp3/Mp3Options.h"

#include "catalog/ConversionSettings.h"
#include "formats/ChannelCountWords.h"

namespace {
constexpr OfferedValue SampleRates[] = {
    {48000, "48Khz 320kbs"},
    {44100, "44.1Khz (CD Quality)"},
    {32000, "32Khz"},
};
// Low to high, as every format's bit rates are listed.
constexpr OfferedValue BitRates[] = {
    {56, "  56 Kbps"}, {64, "  64 Kbps"}, {96, "  96 Kbps"}, {128, "128 Kbps"},
    {160, "160 Kbps"}, {192, "192 Kbps"}, {256, "256 Kbps"}, {320, "320 Kbps"},
};
// Earlier versions listed them high to low, and stored that list's item.
constexpr int32_t BitRatesStored[] = {320, 256, 192, 160, 128, 96, 64, 56};
// LAME's -V qualities, with the average bit rates its documentation gives them; first: off.
constexpr int32_t ConstantBitRate = -1;
constexpr OfferedValue VbrQualities[] = {
    {ConstantBitRate, "Off (constant bit rate)"},
    {0, "V0 (best, about 245 kbit/s)"},
    {1, "V1 (about 225 kbit/s)"},
    {2, "V2 (about 190 kbit/s)"},
    {3, "V3 (about 175 kbit/s)"},
    {4, "V4 (about 165 kbit/s)"},
    {5, "V5 (about 130 kbit/s)"},
    {6, "V6 (about 115 kbit/s)"},
    {7, "V7 (about 100 kbit/s)"},
    {8, "V8 (about 85 kbit/s)"},
    {9, "V9 (smallest, about 65 kbit/s)"},
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
    .StoredOrder = BitRatesStored,
};

// Off unless chosen: nothing stored, as by every earlier version, is the constant bit rate.
const FormatOption Mp3VbrOption = {
    .Caption = "VBR quality",
    .Flag = "--mp3-vbr",
    .StoredName = "BrConvMP3Vbr",
    .Least = 0,
    .Most = 9,
    .ZeroKeepsInput = false,
    .Unit = "",
    .Default = ConstantBitRate,
    .Offered = VbrQualities,
    .Label = "Variable bit rate, quality",
    .Picture = "bitrate.svg",
    .Replaces = &Mp3BitRateOption,
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
    if (&option == &Mp3VbrOption) {
        const std::optional<std::size_t> item = option.ItemOf(value);
        return value == ConstantBitRate ? "off (constant bit rate)"
               : item                   ? std::string(option.Offered[*item].Text)
                                        : std::string();
    }
    if (&option != &Mp3MonoOption) {
        return {};
    }
    return ChannelCountWords(value == Mp3MonoOption.Most ? 1 : 2);
}

bool Mp3IsVbr(const ConversionSettings& settings) {
    return Mp3VbrOption.ReplacesWith(settings.Options.Of(Mp3VbrOption));
}
