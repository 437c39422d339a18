#pragma once
// Ogg Vorbis, read and written by its codec module.
#include "catalog/FormatInfo.h"

extern const FormatInfo VorbisFormat;
