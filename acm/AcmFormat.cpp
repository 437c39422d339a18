#include "acm/AcmFormat.h"

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {
// KSDATAFORMAT_SUBTYPE_*: the format tag in the first two bytes, then this fixed tail.
constexpr uint8_t kSubtypeTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                      0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr size_t kExtensibleExtra = 22;

bool ShapeIsSane(const WAVEFORMATEX& r) {
    return r.nChannels >= 1 && r.nChannels <= kAcmMaxChannels && r.nSamplesPerSec >= kAcmMinRate &&
           r.nSamplesPerSec <= kAcmMaxRate && r.nBlockAlign != 0;
}

bool DescribeLinear(AcmFormat& f, bool isFloat, uint16_t bits) {
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

bool DescribeCoded(AcmFormat& f) {
    f.codec = AcmCodecForTag(f.tag);
    return f.codec != AV_CODEC_ID_NONE && avcodec_find_decoder(f.codec) != nullptr;
}

bool DescribeExtensible(AcmFormat& f) {
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

AVCodecID AcmCodecForTag(uint16_t tag) {
    const AVCodecTag* const tables[] = {avformat_get_riff_audio_tags(), nullptr};
    return av_codec_get_id(tables, tag);
}

std::optional<AcmFormat> ParseAcmFormat(const void* record, size_t byteCount) {
    if (record == nullptr || byteCount < 16)
        return std::nullopt;
    AcmFormat f;
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
        return DescribeExtensible(f) ? std::optional(f) : std::nullopt;
    default:
        return DescribeCoded(f) ? std::optional(f) : std::nullopt;
    }
}
