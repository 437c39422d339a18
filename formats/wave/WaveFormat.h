#pragma once
// WAVE: PCM or any wave format the compression-manager stand-in codes.
#include "catalog/FormatInfo.h"

extern const FormatInfo WaveFormat;
