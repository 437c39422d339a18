#include "formats/FormatOptions.h"

#include <algorithm>
#include <array>

namespace {
constexpr uint8_t Flac[] = {tfFlac};
constexpr uint8_t Opus[] = {tfOpus};
constexpr uint8_t Vorbis[] = {tfVorbis};
constexpr uint8_t Aac[] = {tfAac};
// Lossless targets and the newer lossy ones follow the input unless told otherwise; Opus always
// encodes at 48 kHz, so the sample rate is not its choice.
constexpr uint8_t Channels[] = {tfFlac, tfOpus, tfVorbis, tfAac, tfAlac};
constexpr uint8_t Rate[] = {tfFlac, tfVorbis, tfAac, tfAlac};

// The usual steps of each list; a stored value between them is listed too.
constexpr OfferedValue OpusRates[] = {{32}, {48}, {64}, {96}, {128}, {160}, {192}, {256}};
constexpr OfferedValue AacRates[] = {{64}, {96}, {128}, {160}, {192}, {256}, {320}};
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

constexpr std::array<FormatOption, 6> Table = {{
    {"compression level", "--compression-level", "BrConvFlacLevel", 0, 8, false, "",
     &ConversionSettings::FlacCompressionLevel, Flac},
    {"bit rate", "--bitrate", "BrConvOpusKbps", 32, 256, false, "kbit/s",
     &ConversionSettings::OpusBitRate, Opus, OpusRates},
    {"quality", "--quality", "BrConvVorbisQuality", -1, 10, false, "",
     &ConversionSettings::VorbisQuality, Vorbis},
    {"bit rate", "--bitrate", "BrConvAacKbps", 64, 320, false, "kbit/s",
     &ConversionSettings::AacBitRate, Aac, AacRates},
    {"channels", "--channels", "BrConvOutChannels", 1, 8, true, "",
     &ConversionSettings::OutputChannels, Channels, ChannelCounts},
    {"sample rate", "--rate", "BrConvOutRate", 8000, 192000, true, "Hz",
     &ConversionSettings::OutputSampleRate, Rate, SampleRates},
}};
} // namespace

std::span<const FormatOption> FormatOptions() {
    return Table;
}

const FormatOption* FindFormatOption(std::string_view flag, uint8_t target) {
    const auto it = std::ranges::find_if(
        Table, [&](const FormatOption& o) { return o.Flag == flag && o.AppliesTo(target); });
    return it == Table.end() ? nullptr : &*it;
}
