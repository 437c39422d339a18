#pragma once
// What each target format is and which encoder choices it offers: one table that the sink holder,
// the output names, the command line and the options window all read.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/ConversionSettings.h"

struct TargetFormatInfo {
    uint8_t Number;               // the value of ConversionSettings::TargetFormat
    std::string_view Extension;   // of an output, with its dot
    std::string_view Key;         // on the command line, lower case
    std::string_view Name;        // for people: "WAVE", "MP3", "WMA"
    std::string_view Description; // the options window's line under the format buttons
};

inline constexpr std::array<TargetFormatInfo, 5> TargetFormats = {{
    {tfWave, ".wav", "wav", "WAVE", "Wave (Audio CD's: Standard Wave 44100Khz 16 bit Stereo)"},
    {tfMp3, ".mp3", "mp3", "MP3", "Mpeg 1 Layer 3"},
    {tfWMA, ".wma", "wma", "WMA", "Windows Media Audio 4"},
    {tfAac, ".m4a", "m4a", "AAC", "AAC in MP4"},
    {tfAlac, ".m4a", "alac", "ALAC", "Apple Lossless in MP4"},
}};

// The entry of a target number, or nullptr for a number that names no format.
const TargetFormatInfo* FindTargetFormat(uint8_t number);
// The entry whose key equals key, ignoring letter case.
const TargetFormatInfo* FindTargetFormat(std::string_view key);

// The MP3 encoder's choices, in the order of the options window's lists.
struct Mp3SampleRateChoice {
    int32_t Hz;
    std::string_view Caption;
};
inline constexpr std::array<Mp3SampleRateChoice, 3> Mp3SampleRates = {{
    {48000, "48Khz 320kbs"},
    {44100, "44.1Khz (CD Quality)"},
    {32000, "32Khz"},
}};

struct Mp3BitRateChoice {
    int32_t Kbps;
    std::string_view Caption;
};
inline constexpr std::array<Mp3BitRateChoice, 8> Mp3BitRates = {{
    {320, "320 Kbps"},
    {256, "256 Kbps"},
    {192, "192 Kbps"},
    {160, "160 Kbps"},
    {128, "128 Kbps"},
    {96, "  96 Kbps"},
    {64, "  64 Kbps"},
    {56, "  56 Kbps"},
}};

// The eight WMA quality entries, from best to smallest.
struct WmaQualityChoice {
    int32_t SampleRate;
    int32_t Kbps;
    std::string_view Caption;
};
inline constexpr std::array<WmaQualityChoice, 8> WmaQualities = {{
    {44100, 160, "44100Khz 160Kbps Stereo"},
    {44100, 128, "44100Khz 128Kbps Stereo"},
    {44100, 96, "44100Khz   96Kbps Stereo"},
    {44100, 64, "44100Khz   64Kbps Stereo"},
    {44100, 48, "44100Khz   48Kbps Stereo"},
    {32000, 64, "32000Khz   64Kbps Stereo"},
    {32000, 48, "32000Khz   48Kbps Stereo"},
    {32000, 36, "32000Khz   36Kbps Stereo"},
}};

// The AAC encoder's bit rates, kbit/s.
inline constexpr int32_t LowestAacBitRate = 64;
inline constexpr int32_t HighestAacBitRate = 320;

// The list item holding value, if any.
std::optional<std::size_t> Mp3SampleRateItem(int32_t hz);
std::optional<std::size_t> Mp3BitRateItem(int32_t kbps);
