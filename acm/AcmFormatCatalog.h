#pragma once
// The wave formats the compression-manager stand-in writes, their names and descriptions: what
// the "Wave Output Format" chooser offers and what the command line's --wave-format accepts.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/WaveFormat.h"

struct AcmOfferedFormats {
    uint16_t tag = 0;
    std::vector<uint16_t> channels;
    std::vector<uint32_t> rates;
    std::vector<uint16_t> bits; // wBitsPerSample values: 0 for GSM 6.10, 4 for ADPCM
};

// Writable tags in the order a chooser lists them (PCM first).
std::vector<uint16_t> AcmWritableTags();
// What is offered for a tag; nothing when the tag is not writable.
std::optional<AcmOfferedFormats> AcmOfferedFor(uint16_t tag);
// Every offered combination of a tag as complete records (the chooser's list), in the order
// channels, then rates, then bits.
std::vector<std::vector<uint8_t>> AcmOfferedRecords(uint16_t tag);

// A complete record for writing, with the derived fields (block alignment, bytes per second)
// and the cbSize extra bytes other programs expect: the coefficient table of Microsoft ADPCM,
// samples per block of IMA ADPCM and GSM 6.10. Empty when the stand-in cannot write that
// combination (it need not be one of the offered ones: PCM at 12345 Hz is writable).
std::vector<uint8_t> AcmMakeWaveFormat(uint16_t tag, uint16_t channels, uint32_t rate,
                                       uint16_t bits);

// True when the stand-in writes WAVE files in this record (a WAVEFORMATEX and its extra bytes,
// byteCount in all) as it stands: a stored format that fails this cannot be used.
bool AcmCanWrite(const void* record, size_t byteCount);

// "PCM", "IMA ADPCM", "Microsoft ADPCM", "GSM 6.10"...; for other readable tags the decoder's
// name; empty for tags the stand-in does not know.
std::string AcmFormatTagName(uint16_t tag);
// "22,050 Hz, 4 Bit, Mono"; empty for a record the stand-in cannot read.
std::string AcmFormatDescription(const void* record, size_t byteCount);
