#pragma once
// The controls the forms make for each format of the registry (catalog/FormatTable.h), so that a
// format added there shows without a change here: the options form's format buttons and the file
// selector's "Convert [From]" boxes.
#include <QString>
#include <vector>

#include "catalog/FormatInfo.h"

// The formats written, in the registry's order: a button each.
std::vector<const FormatInfo*> ButtonFormats();
// The formats listed, in the order of their boxes.
std::vector<const FormatInfo*> BoxFormats();
// A control's object name: prefix, then the format's key with a capital ("m4a" gives "M4a").
QString FormatControlName(const char* prefix, const FormatInfo& format);
