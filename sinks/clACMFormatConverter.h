#pragma once
// Converts a stream of blocks from one wave format into another through the compression manager,
// directly or through an intermediate PCM format, feeding it block-aligned pieces.
#include <cstdint>
#include <memory>

#include "engine/WaveFormat.h"

class clACMFormatConverter {
public:
    // failed is set when no conversion path exists between the formats. Each format points at a
    // WAVEFORMATEX followed by its cbSize extra bytes; neither is kept.
    clACMFormatConverter(const WAVEFORMATEX* source, const WAVEFORMATEX* destination, bool& failed);
    ~clACMFormatConverter();
    clACMFormatConverter(const clACMFormatConverter&) = delete;
    clACMFormatConverter& operator=(const clACMFormatConverter&) = delete;

    // Null: write the input unchanged (outCount = inCount). Otherwise the converted bytes, of
    // which outCount are valid (may be 0: the bytes are held back for the next call).
    std::unique_ptr<uint8_t[]> Convert(const void* input, uint32_t inCount, uint32_t& outCount);

    // At the end of the stream: converts what is held back (padding a compressed format's last
    // block as its codec requires) and drains the streams. Null when nothing remains.
    std::unique_ptr<uint8_t[]> Flush(uint32_t& outCount);
};
