#pragma once
// --wave-format TAG:CHANNELS:RATE:BITS, matched against the formats the wave format catalog
// writes for that tag.
#include <string>

#include "engine/WaveOutputFormatFile.h"

// On success the buffer holds the format record and its extra bytes. Otherwise a usage message
// that names what the catalog offers for the tag.
bool WaveFormatFromText(const std::string& formatText, WaveOutputFormatBuffer& buffer,
                        std::string& error);
