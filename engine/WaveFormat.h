#pragma once
// The platform's wave format record: 18 bytes, packed, little-endian. It describes every PCM
// stream between a source and a sink, and the WAVE output format (followed by cbSize extra bytes).
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

static_assert(std::endian::native == std::endian::little,
              "WAVEFORMATEX is read and written as raw little-endian bytes");

#pragma pack(push, 1)
struct WAVEFORMATEX {
    uint16_t wFormatTag;
    uint16_t nChannels;
    uint32_t nSamplesPerSec;
    uint32_t nAvgBytesPerSec;
    uint16_t nBlockAlign;
    uint16_t wBitsPerSample;
    uint16_t cbSize;
};
#pragma pack(pop)

static_assert(sizeof(WAVEFORMATEX) == 18);
static_assert(offsetof(WAVEFORMATEX, nSamplesPerSec) == 4);
static_assert(offsetof(WAVEFORMATEX, nAvgBytesPerSec) == 8);
static_assert(offsetof(WAVEFORMATEX, nBlockAlign) == 12);
static_assert(offsetof(WAVEFORMATEX, wBitsPerSample) == 14);
static_assert(offsetof(WAVEFORMATEX, cbSize) == 16);

inline constexpr uint16_t WAVE_FORMAT_PCM = 1;
inline constexpr uint16_t WAVE_FORMAT_ADPCM = 2;
inline constexpr uint16_t WAVE_FORMAT_IEEE_FLOAT = 3;
inline constexpr uint16_t WAVE_FORMAT_ALAW = 6;
inline constexpr uint16_t WAVE_FORMAT_MULAW = 7;
inline constexpr uint16_t WAVE_FORMAT_IMA_ADPCM = 0x11;
inline constexpr uint16_t WAVE_FORMAT_GSM610 = 0x31;
inline constexpr uint16_t WAVE_FORMAT_MPEGLAYER3 = 0x55;
inline constexpr uint16_t WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

// The sample rates any stream of the system may have; a file claiming another is refused.
inline constexpr uint32_t LowestSampleRate = 1000;
inline constexpr uint32_t HighestSampleRate = 768000;

inline bool IsUsableSampleRate(uint32_t rate) {
    return rate >= LowestSampleRate && rate <= HighestSampleRate;
}

// A PCM record with the derived fields filled in.
inline WAVEFORMATEX MakePcmFormat(uint16_t channels, uint32_t rate, uint16_t bits) {
    const auto align = static_cast<uint16_t>(channels * bits / 8);
    return WAVEFORMATEX{WAVE_FORMAT_PCM, channels, rate, align * rate, align, bits, 0};
}

// A 32-bit float record with the derived fields filled in.
inline WAVEFORMATEX MakeFloatFormat(uint16_t channels, uint32_t rate) {
    WAVEFORMATEX format = MakePcmFormat(channels, rate, 32);
    format.wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
    return format;
}

// A record with no extra bytes where a record may be followed by its cbSize extra bytes.
inline std::vector<uint8_t> RecordBytes(const WAVEFORMATEX& format) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&format);
    return std::vector<uint8_t>(bytes, bytes + sizeof format);
}
