#pragma once
// WaveCompress.bin: the WAVE output format kept between runs, a raw image of the 5096-byte
// format buffer of the settings record.
#include <array>
#include <cstdint>

#include "catalog/ConversionSettings.h"

using WaveOutputFormatBuffer = std::array<uint8_t, WaveOutputFormatSize>;

// Fills buffer from the file; when it is missing or shorter than the buffer, writes the default
// (16-bit stereo PCM at 44100 Hz) into the first 18 bytes and leaves the rest. Silent.
void LoadWaveOutputFormat(WaveOutputFormatBuffer& buffer);
// Writes the whole buffer to the file, created anew. Silent when it cannot.
void SaveWaveOutputFormat(const WaveOutputFormatBuffer& buffer);
