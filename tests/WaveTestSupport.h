#pragma once
// Helpers for the WAVE tests: RIFF images built byte by byte, the settings a WAVE conversion
// reads, and shell commands for the independent checkers.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "RowTestSupport.h"
#include "TestFolder.h"
#include "catalog/ConversionSettings.h"
#include "catalog/FormatTable.h"
#include "engine/WaveFormat.h"
#include "TargetNumbers.h"

namespace wavetest {

using testtools::Quote;
using testtools::Shell;

inline std::string U32(uint32_t v) {
    return std::string(reinterpret_cast<const char*>(&v), 4);
}
inline std::string U16(uint16_t v) {
    return std::string(reinterpret_cast<const char*>(&v), 2);
}

// One chunk: id, size, payload and the pad byte that an odd size needs.
inline std::string Chunk(const char* id, const std::string& payload, bool pad = true) {
    std::string chunk = std::string(id, 4) + U32(static_cast<uint32_t>(payload.size())) + payload;
    if (pad && payload.size() % 2 == 1)
        chunk += '\0';
    return chunk;
}

inline std::string Riff(const std::string& chunks) {
    return "RIFF" + U32(static_cast<uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

// The format chunk payload: the record (16 bytes when it has no extra bytes) and the extra bytes.
inline std::string FmtPayload(const WAVEFORMATEX& f, const std::string& extra = {},
                              bool withCbSize = false) {
    std::string p(reinterpret_cast<const char*>(&f), 16);
    if (withCbSize || !extra.empty())
        p += U16(f.cbSize);
    return p + extra;
}

inline std::string PcmWave(const WAVEFORMATEX& f, const std::string& samples) {
    return Riff(Chunk("fmt ", FmtPayload(f)) + Chunk("data", samples));
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A row writing a WAVE output in `format` (a record followed by its cbSize extra bytes).
inline void UseWaveOutput(TestRow& row, const std::string& outputPath, const WAVEFORMATEX& format,
                          const std::string& extra = {}) {
    auto& s = row.settings;
    s.TargetFormat = FindTargetFormat("wav")->Number;
    row.output = outputPath;
    s.WaveOutputFormat.fill(0);
    std::memcpy(s.WaveOutputFormat.data(), &format, sizeof format);
    std::memcpy(s.WaveOutputFormat.data() + sizeof format, extra.data(), extra.size());
    row.ClearResult();
}

} // namespace wavetest
