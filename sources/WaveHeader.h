#pragma once
// Finds the format and data chunks in the first bytes of a RIFF WAVE file.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/WaveFormat.h"

// How many bytes from the start of a file the header scan looks at.
inline constexpr std::size_t WaveHeaderScanBytes = 100000;

struct WaveHeader {
    // The "fmt " payload as far as it lies within the scanned bytes and its declared size, with
    // cbSize lowered to the extra bytes actually present: a record followed by cbSize bytes.
    std::vector<uint8_t> format;
    // The first 16 bytes of the format (fields beyond the chunk read as 0) with cbSize 0.
    WAVEFORMATEX basicFormat{};
    // File offset of the data chunk's payload and its declared size.
    uint64_t dataOffset = 0;
    uint32_t dataSize = 0;

    const WAVEFORMATEX* Format() const {
        return reinterpret_cast<const WAVEFORMATEX*>(format.data());
    }
};

// Scans the chunks of the bytes read from the start of a file. Empty when the bytes do not start
// with "RIFF" .. "WAVE" or hold no usable "fmt " chunk or no "data" chunk header.
std::optional<WaveHeader> ScanWaveHeader(std::span<const uint8_t> head);
