#include "formats/wma/WmaOptions.h"

namespace {
// In the order of WmaQualities.
constexpr OfferedValue Entries[] = {
    {0, "44100Khz 160Kbps Stereo"},  {1, "44100Khz 128Kbps Stereo"},
    {2, "44100Khz   96Kbps Stereo"}, {3, "44100Khz   64Kbps Stereo"},
    {4, "44100Khz   48Kbps Stereo"}, {5, "32000Khz   64Kbps Stereo"},
    {6, "32000Khz   48Kbps Stereo"}, {7, "32000Khz   36Kbps Stereo"},
};
static_assert(std::size(Entries) == WmaQualities.size());
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
};
