#pragma once
// The WAVE output format as the command line gives it, TAG:CHANNELS:RATE:BITS, matched against
// the formats the wave format catalog writes for that tag.
#include <string>
#include <string_view>

#include "engine/WaveOutputFormatFile.h"

inline constexpr std::string_view WaveFormatFlag = "--wave-format";

// On success the buffer holds the format record and its extra bytes. Otherwise a usage message
// that names what the catalog offers for the tag.
bool WaveFormatFromText(const std::string& formatText, WaveOutputFormatBuffer& buffer,
                        std::string& error);
