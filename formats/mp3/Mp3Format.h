#pragma once
// MP3, decoded and encoded by the MP3 codec modules.
#include "catalog/FormatInfo.h"

extern const FormatInfo Mp3Format;
