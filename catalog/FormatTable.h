#pragma once
// The audio formats the program reads and writes, one entry each, and the look-ups every front
// end, the store, the sources and the sinks make in it. The formats themselves are listed above
// every layer that reads them (formats/FormatRegistry.cpp), which defines Formats().
#include <span>
#include <string_view>

#include "catalog/FormatInfo.h"

// In the order the front ends offer them.
std::span<const FormatInfo> Formats();

// The target format of that ConversionSettings::TargetFormat value; nullptr for none.
const FormatInfo* FindTargetFormat(uint8_t number);
// The target format whose key equals key, ignoring letter case; nullptr for none.
const FormatInfo* FindTargetFormat(std::string_view key);
// The format that lists and collects files of the extension ext (with its dot, any letter case);
// nullptr for any other text.
const FormatInfo* FindInputFormat(std::string_view ext);
// The same, also for the extensions read only when named one by one.
const FormatInfo* FindReadFormat(std::string_view ext);
