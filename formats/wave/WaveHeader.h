#pragma once
// Finds the format and data chunks of a RIFF WAVE file (also RF64 and BW64, the 64-bit forms) by
// walking its chunks by their sizes, however large the chunks before the audio are.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "engine/WaveFormat.h"

struct WaveHeader {
    // The "fmt " payload as far as it lies within the file and its declared size, with cbSize
    // lowered to the extra bytes actually present: a record followed by cbSize bytes.
    std::vector<uint8_t> format;
    // The first 16 bytes of the format (fields beyond the chunk read as 0) with cbSize 0.
    WAVEFORMATEX basicFormat{};
    // File offset of the data chunk's payload and its size: as declared (it may reach past the
    // end of a damaged file), or, when the writer left it open (a streaming recorder's 0 or
    // 0xFFFFFFFF), what the file holds after the offset.
    uint64_t dataOffset = 0;
    uint64_t dataSize = 0;
    // The size was not declared: the audio runs to the end of the file.
    bool dataToEnd = false;

    const WAVEFORMATEX* Format() const {
        return reinterpret_cast<const WAVEFORMATEX*>(format.data());
    }
};

// Reads up to count bytes at offset into `into`; the number of bytes read.
using WaveReadAt = std::function<std::size_t(uint64_t offset, uint8_t* into, std::size_t count)>;

// Scans a file of fileSize bytes. Empty when it does not start with "RIFF" (or "RF64", "BW64")
// .. "WAVE", or holds no usable "fmt " chunk or no "data" chunk header.
std::optional<WaveHeader> ScanWaveHeader(const WaveReadAt& read, uint64_t fileSize);
// The same over a whole file in memory.
std::optional<WaveHeader> ScanWaveHeader(std::span<const uint8_t> file);
