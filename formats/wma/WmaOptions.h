#pragma once
// The WMA encoder's one choice: an entry of a fixed list that sets both its sample rate and its
// bit rate, kept in the settings store as the entry's index.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "catalog/FormatOption.h"

struct ConversionSettings;

extern const FormatOption WmaQualityOption;

// What each entry of the quality list encodes, from best to smallest; always stereo.
struct WmaQuality {
    int32_t SampleRate;
    int32_t Kbps;
};
inline constexpr int32_t WmaChannels = 2;
inline constexpr std::array<WmaQuality, 8> WmaQualities = {{
    {44100, 160},
    {44100, 128},
    {44100, 96},
    {44100, 64},
    {44100, 48},
    {32000, 64},
    {32000, 48},
    {32000, 36},
}};

// An entry in words, "44100 Hz 160 kbit/s"; empty for any other value or option.
std::string WmaOptionWords(const FormatOption& option, int32_t value);
// What the chosen entry encodes: {"160 kbit/s", "44100 Hz", "stereo"}.
std::vector<std::string> WmaSettingsWords(const ConversionSettings& settings);
