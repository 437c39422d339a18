#pragma once
// How the sink of each target format is made, found by the format's key in the format table, and
// the PCM it takes, which the sink holder converts the source's PCM into.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "engine/AudioSink.h"
#include "engine/ConversionSettings.h"
#include "engine/RowContext.h"
#include "engine/WaveFormat.h"

// A wave format record followed by its cbSize extra bytes.
using PcmRecord = std::vector<uint8_t>;

// The record alone (a PCM or float record has no extra bytes).
inline PcmRecord RecordOf(const WAVEFORMATEX& format) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&format);
    return PcmRecord(bytes, bytes + sizeof format);
}

struct SinkKind {
    // What the sink's encoder takes from a source of this PCM; empty when it takes nothing.
    PcmRecord (*Takes)(const WAVEFORMATEX& input, const ConversionSettings& settings);
    std::unique_ptr<AudioSink> (*Make)(const WAVEFORMATEX* inputFormat, const RowContext& row,
                                       bool& ok);
};

// nullptr for a key that names no format with a sink.
const SinkKind* FindSinkKind(std::string_view key);
