#pragma once
// The channels and sample rate of an output, which several formats let the user choose: unless
// chosen, they follow the input's.
#include "catalog/FormatOption.h"

extern const FormatOption OutputChannelsOption;
extern const FormatOption OutputSampleRateOption;
