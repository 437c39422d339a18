#pragma once
// The target formats and their encoders' choices are described in the formats room.
#include "catalog/EncoderChoiceLists.h"
#include "catalog/FormatTable.h"

using TargetFormatInfo = FormatInfo;
