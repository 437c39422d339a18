#pragma once
// The target formats and their encoders' choices are described in the formats room.
#include "formats/EncoderChoiceLists.h"
#include "formats/FormatTable.h"

using TargetFormatInfo = FormatInfo;
