#pragma once
// The wave formats written here, their names and descriptions: what the "Wave Output Format"
// chooser offers, what the command line's --wave-format accepts and how a format is labelled.
// Records are a WAVEFORMATEX followed by its cbSize extra bytes.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/WaveFormat.h"

namespace WaveFormatCatalog {

struct Offered {
    uint16_t tag = 0;
    std::vector<uint16_t> channels;
    std::vector<uint32_t> rates;
    std::vector<uint16_t> bits; // wBitsPerSample values: 0 for GSM 6.10, 4 for ADPCM
};

// Writable tags in the order a chooser lists them (PCM first).
std::vector<uint16_t> WritableTags();
// What is offered for a tag; nothing when the tag is not writable.
std::optional<Offered> OfferedFor(uint16_t tag);
// Every offered combination of a tag as complete records (the chooser's list), in the order
// channels, then rates, then bits.
std::vector<std::vector<uint8_t>> OfferedRecords(uint16_t tag);

// A complete record for writing, with the derived fields (block alignment, bytes per second)
// and the cbSize extra bytes other programs expect: the coefficient table of Microsoft ADPCM,
// samples per block of IMA ADPCM and GSM 6.10. Empty when that combination cannot be written
// (it need not be one of the offered ones: PCM at 12345 Hz is writable).
std::vector<uint8_t> MakeRecord(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits);

// True when WAVE files are written in this record as it stands: a stored format that fails
// this cannot be used.
bool CanWrite(std::span<const uint8_t> record);

// "PCM", "IMA ADPCM", "Microsoft ADPCM", "GSM 6.10"...; for other readable tags the decoder's
// name; empty for tags nothing here reads.
std::string TagName(uint16_t tag);
// "22,050 Hz, 4 Bit, Mono"; empty for a tag nothing here reads or a channel count or rate out of
// range. Only the first 16 bytes are described, so the head alone of a record will do.
std::string Describe(std::span<const uint8_t> record);

} // namespace WaveFormatCatalog
