#pragma once
// Windows Media Audio, read and written by the WMA codec module.
#include "catalog/FormatInfo.h"

extern const FormatInfo WmaFormat;
