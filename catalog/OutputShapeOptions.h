#pragma once
// The channels and sample rate of an output, which several formats let the user choose: unless
// chosen, they follow the input's.
#include <optional>

#include "catalog/ConversionSettings.h"
#include "catalog/FormatOption.h"

extern const FormatOption OutputChannelsOption;
extern const FormatOption OutputSampleRateOption;

// The highest sample rate the target's outputs are written at: its format's own limit, else the
// option's.
int32_t MostSampleRateOf(uint8_t target);
// The sample rate the settings choose when their target's encoder cannot write it; nothing when
// it can.
std::optional<int32_t> UnwritableSampleRate(const ConversionSettings& settings);
