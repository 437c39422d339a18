#include "acm/ParsedWaveFormat.h"

#include <cstring>

#include "acm/FFmpegLibrary.h"

namespace {
// KSDATAFORMAT_SUBTYPE_*: the format tag in the first two bytes, then this fixed tail.
constexpr uint8_t kSubtypeTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                      0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr size_t kExtensibleExtra = 22;

bool ShapeIsSane(const WAVEFORMATEX& r) {
    return r.nChannels >= 1 && r.nChannels <= kMaxWaveChannels &&
           r.nSamplesPerSec >= LowestSampleRate && r.nSamplesPerSec <= HighestSampleRate &&
           r.nBlockAlign != 0;
}

bool DescribeLinear(ParsedWaveFormat& f, bool isFloat, uint16_t bits) {
    if (bits == 0 || f.BlockAlign() % f.Channels() != 0)
        return false;
    const unsigned container = f.BlockAlign() / f.Channels();
    if (container != (bits + 7u) / 8u)
        return false;
    if (isFloat) {
        if (container != 4 && container != 8)
            return false;
        f.sampleFormat = container == 4 ? AV_SAMPLE_FMT_FLT : AV_SAMPLE_FMT_DBL;
    } else {
        static constexpr AVSampleFormat kInt[] = {AV_SAMPLE_FMT_NONE, AV_SAMPLE_FMT_U8,
                                                  AV_SAMPLE_FMT_S16, AV_SAMPLE_FMT_S32,
                                                  AV_SAMPLE_FMT_S32};
        if (container > 4)
            return false;
        f.sampleFormat = kInt[container];
    }
    f.containerBytes = static_cast<uint16_t>(container);
    f.linear = true;
    return true;
}

uint16_t ExtraU16(const ParsedWaveFormat& f, size_t at) {
    uint16_t value = 0;
    if (f.extra.size() >= at + 2)
        std::memcpy(&value, f.extra.data() + at, sizeof value);
    return value;
}

// IMA ADPCM: a 4-byte header per channel, then groups of 4 bytes per channel; the samples per
// block that follow the record must be what the block holds.
bool ImaRecordIsConsistent(const ParsedWaveFormat& f) {
    const uint32_t ch = f.Channels();
    const uint32_t bits = f.record.wBitsPerSample;
    if (bits < 2 || bits > 5 || f.BlockAlign() <= 4 * ch || (f.BlockAlign() - 4 * ch) % (4 * ch))
        return false;
    const uint32_t body = f.BlockAlign() - 4 * ch;
    const uint32_t samples = bits == 4 ? 1 + body * 2 / ch : 1 + body / (bits * ch) * 8;
    return f.extra.size() < 2 || ExtraU16(f, 0) == samples;
}

// MS ADPCM: a 7-byte header per channel, two samples per byte and channel; the coefficient
// table must lie within the record.
bool MsAdpcmRecordIsConsistent(const ParsedWaveFormat& f) {
    const uint32_t ch = f.Channels();
    if (f.record.wBitsPerSample != 4 || f.BlockAlign() < 7 * ch || f.extra.size() < 4)
        return false;
    const uint32_t samples = (f.BlockAlign() - 7 * ch) * 2 / ch + 2;
    const uint32_t coefficients = ExtraU16(f, 2);
    return ExtraU16(f, 0) == samples && coefficients >= 7 && coefficients <= 256 &&
           f.extra.size() >= 4 + 4 * size_t{coefficients};
}

bool CodedRecordIsConsistent(const ParsedWaveFormat& f) {
    switch (f.tag) {
    case WAVE_FORMAT_IMA_ADPCM:
        return ImaRecordIsConsistent(f);
    case WAVE_FORMAT_ADPCM:
        return MsAdpcmRecordIsConsistent(f);
    default:
        return true;
    }
}

bool DescribeCoded(ParsedWaveFormat& f, bool& malformed) {
    f.codec = CodecForWaveTag(f.tag);
    if (f.codec == AV_CODEC_ID_NONE || Av().avcodec_find_decoder(f.codec) == nullptr)
        return false;
    malformed = !CodedRecordIsConsistent(f);
    return !malformed;
}

bool IsKnownSubtype(const ParsedWaveFormat& f) {
    if (f.extra.size() < kExtensibleExtra)
        return true; // too short to name one: damaged
    uint16_t inner = 0;
    std::memcpy(&inner, f.extra.data() + 6, sizeof inner);
    return inner == WAVE_FORMAT_PCM || inner == WAVE_FORMAT_IEEE_FLOAT;
}

bool DescribeExtensible(ParsedWaveFormat& f) {
    if (f.extra.size() < kExtensibleExtra)
        return false;
    if (std::memcmp(f.extra.data() + 8, kSubtypeTail, sizeof kSubtypeTail) != 0)
        return false;
    uint16_t inner = 0;
    std::memcpy(&inner, f.extra.data() + 6, sizeof inner);
    if (inner != WAVE_FORMAT_PCM && inner != WAVE_FORMAT_IEEE_FLOAT)
        return false;
    f.tag = inner;
    return DescribeLinear(f, inner == WAVE_FORMAT_IEEE_FLOAT, f.record.wBitsPerSample);
}
} // namespace

AVCodecID CodecForWaveTag(uint16_t tag) {
    // Every coded format is recognised here first: without the library, none is.
    const FFmpegLibrary* av = FFmpegLibrary::Get();
    if (!av)
        return AV_CODEC_ID_NONE;
    const AVCodecTag* const tables[] = {av->avformat_get_riff_audio_tags(), nullptr};
    return av->av_codec_get_id(tables, tag);
}

namespace {
std::optional<ParsedWaveFormat> Parse(const void* record, size_t byteCount, bool& malformed) {
    if (record == nullptr || byteCount < 16)
        return std::nullopt;
    ParsedWaveFormat f;
    std::memcpy(&f.record, record, byteCount < sizeof(WAVEFORMATEX) ? 16 : sizeof(WAVEFORMATEX));
    if (byteCount < sizeof(WAVEFORMATEX))
        f.record.cbSize = 0;
    if (f.record.cbSize != 0) {
        // The record's own length claim is never trusted beyond the bytes that are there.
        if (f.record.cbSize > byteCount - sizeof(WAVEFORMATEX))
            return std::nullopt;
        const auto* extra = static_cast<const uint8_t*>(record) + sizeof(WAVEFORMATEX);
        f.extra.assign(extra, extra + f.record.cbSize);
    }
    if (!ShapeIsSane(f.record))
        return std::nullopt;
    f.tag = f.record.wFormatTag;
    switch (f.tag) {
    case WAVE_FORMAT_PCM:
        return DescribeLinear(f, false, f.record.wBitsPerSample) ? std::optional(f) : std::nullopt;
    case WAVE_FORMAT_IEEE_FLOAT:
        return DescribeLinear(f, true, f.record.wBitsPerSample) ? std::optional(f) : std::nullopt;
    case WAVE_FORMAT_EXTENSIBLE:
        // An extensible record of a kind not handled here is unsupported, not damaged.
        malformed = IsKnownSubtype(f);
        return DescribeExtensible(f) ? std::optional(f) : std::nullopt;
    default:
        malformed = false;
        return DescribeCoded(f, malformed) ? std::optional(f) : std::nullopt;
    }
}
} // namespace

std::optional<ParsedWaveFormat> ParseWaveFormat(const void* record, size_t byteCount,
                                                bool* malformed) {
    bool broken = true;
    auto result = Parse(record, byteCount, broken);
    if (malformed)
        *malformed = !result && broken;
    return result;
}
