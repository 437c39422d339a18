#pragma once
// AAC and Apple Lossless in MP4 (.m4a), read and written by the MP4 codec module. They share the
// extension: the MP4 source tells them apart by content.
#include "catalog/FormatInfo.h"

extern const FormatInfo AacFormat;
extern const FormatInfo AlacFormat;
