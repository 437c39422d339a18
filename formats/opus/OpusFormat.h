#pragma once
// Opus in Ogg, read and written by its codec module.
#include "catalog/FormatInfo.h"

extern const FormatInfo OpusFormat;
