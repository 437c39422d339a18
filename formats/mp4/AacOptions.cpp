#include "formats/mp4/AacOptions.h"

namespace {
constexpr OfferedValue BitRates[] = {{64}, {96}, {128}, {160}, {192}, {256}, {320}};
} // namespace

const FormatOption AacBitRateOption = {
    .Caption = "bit rate",
    .Flag = "--bitrate",
    .StoredName = "BrConvAacKbps",
    .Least = 64,
    .Most = 320,
    .ZeroKeepsInput = false,
    .Unit = "kbit/s",
    .Default = 192,
    .Offered = BitRates,
};
