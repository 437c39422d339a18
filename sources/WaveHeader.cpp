#include "sources/WaveHeader.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t ChunkHeaderBytes = 8;
constexpr uint32_t MinFormatBytes = 14;

uint32_t ReadU32(std::span<const uint8_t> bytes, std::size_t at) {
    uint32_t value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

bool IdAt(std::span<const uint8_t> bytes, std::size_t at, const char (&id)[5]) {
    return std::memcmp(bytes.data() + at, id, 4) == 0;
}

// The format record and its extra bytes, from a payload that may stop short of its declared size.
std::vector<uint8_t> FormatFrom(std::span<const uint8_t> payload) {
    std::vector<uint8_t> format(std::max(payload.size(), sizeof(WAVEFORMATEX)), 0);
    std::copy(payload.begin(), payload.end(), format.begin());
    const std::size_t extraPresent =
        payload.size() > sizeof(WAVEFORMATEX) ? payload.size() - sizeof(WAVEFORMATEX) : 0;
    auto* record = reinterpret_cast<WAVEFORMATEX*>(format.data());
    // A cbSize that claims more than the chunk holds must never lead a reader past the buffer.
    if (payload.size() < sizeof(WAVEFORMATEX) || record->cbSize > extraPresent)
        record->cbSize = static_cast<uint16_t>(std::min<std::size_t>(extraPresent, UINT16_MAX));
    format.resize(sizeof(WAVEFORMATEX) + record->cbSize);
    return format;
}

WAVEFORMATEX BasicFormatFrom(std::span<const uint8_t> payload) {
    WAVEFORMATEX basic{};
    std::memcpy(&basic, payload.data(), std::min<std::size_t>(payload.size(), 16));
    basic.cbSize = 0;
    return basic;
}

} // namespace

std::optional<WaveHeader> ScanWaveHeader(std::span<const uint8_t> head) {
    if (head.size() < 12 || !IdAt(head, 0, "RIFF") || !IdAt(head, 8, "WAVE"))
        return std::nullopt;
    const uint64_t end = std::min<uint64_t>(8ull + ReadU32(head, 4), head.size());
    WaveHeader header;
    bool haveFormat = false;
    bool haveData = false;
    uint64_t pos = 12;
    while (pos + ChunkHeaderBytes <= end) {
        const uint32_t size = ReadU32(head, pos + 4);
        const uint64_t payload = pos + ChunkHeaderBytes;
        if (IdAt(head, pos, "fmt ") && size >= MinFormatBytes) {
            // Only the bytes actually read can describe the format.
            const uint64_t present = std::min<uint64_t>(size, head.size() - payload);
            if (present >= MinFormatBytes) {
                const auto bytes = head.subspan(payload, present);
                header.format = FormatFrom(bytes);
                header.basicFormat = BasicFormatFrom(bytes);
                haveFormat = true;
            }
        } else if (IdAt(head, pos, "data")) {
            header.dataOffset = payload;
            header.dataSize = size;
            haveData = true;
        }
        if (haveFormat && haveData)
            return header;
        pos = payload + size + (size & 1u);
    }
    return std::nullopt;
}
