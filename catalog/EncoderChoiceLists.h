#pragma once
// The MP3 and WMA encoders' choices: fixed lists, in the order of the options window's lists,
// whose items the settings store keeps.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

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

// The list item holding value, if any.
std::optional<std::size_t> Mp3SampleRateItem(int32_t hz);
std::optional<std::size_t> Mp3BitRateItem(int32_t kbps);
