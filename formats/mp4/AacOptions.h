#pragma once
// The AAC encoder's own choice, its bit rate (kbit/s); ALAC has none.
#include "catalog/FormatOption.h"

extern const FormatOption AacBitRateOption;
