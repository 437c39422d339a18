#include "acm/WaveFormatCatalog.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "acm/FFmpegLibrary.h"
#include "acm/ParsedWaveFormat.h"
#include "acm/WaveCodecStream.h"
#include "acm/WaveFormatEncoder.h"

namespace {
const std::vector<uint32_t> kPcmRates = {8000,  11025, 16000, 22050, 32000,
                                         44100, 48000, 88200, 96000};
const std::vector<uint32_t> kCodecRates = {8000, 11025, 22050, 44100};

struct KnownName {
    uint16_t tag;
    const char* name;
};
constexpr KnownName kNames[] = {
    {WAVE_FORMAT_PCM, "PCM"},
    {WAVE_FORMAT_ADPCM, "Microsoft ADPCM"},
    {WAVE_FORMAT_IEEE_FLOAT, "IEEE Float"},
    {WAVE_FORMAT_ALAW, "CCITT A-Law"},
    {WAVE_FORMAT_MULAW, "CCITT u-Law"},
    {WAVE_FORMAT_IMA_ADPCM, "IMA ADPCM"},
    {WAVE_FORMAT_GSM610, "GSM 6.10"},
    {WAVE_FORMAT_MPEGLAYER3, "MPEG Layer-3"},
    {WAVE_FORMAT_EXTENSIBLE, "Extensible"},
};

bool GsmWritable() {
    const FFmpegLibrary* av = FFmpegLibrary::Get();
    return av && av->avcodec_find_encoder(AV_CODEC_ID_GSM_MS) != nullptr;
}

std::string Thousands(uint32_t value) {
    const std::string digits = std::to_string(value);
    std::string text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

std::string ChannelsText(uint16_t channels) {
    if (channels == 1)
        return "Mono";
    if (channels == 2)
        return "Stereo";
    return std::to_string(channels) + " Channels";
}

std::vector<uint8_t> Serialize(const WAVEFORMATEX& head, const std::vector<uint8_t>& extra) {
    std::vector<uint8_t> record(sizeof head + extra.size());
    WAVEFORMATEX h = head;
    h.cbSize = static_cast<uint16_t>(extra.size());
    std::memcpy(record.data(), &h, sizeof h);
    std::copy(extra.begin(), extra.end(), record.begin() + sizeof h);
    return record;
}

std::vector<uint8_t> MakeCoded(uint16_t tag, uint16_t channels, uint32_t rate) {
    const uint32_t align = WaveFormatEncoder::StandardBlockAlign(tag, channels, rate);
    const auto encoder = WaveFormatEncoder::Open({tag, channels, rate, align});
    if (!encoder)
        return {};
    WAVEFORMATEX head{tag, channels, rate, 0, static_cast<uint16_t>(align), 0, 0};
    if (tag == WAVE_FORMAT_ALAW || tag == WAVE_FORMAT_MULAW) {
        head.wBitsPerSample = 8;
        head.nAvgBytesPerSec = rate * align;
    } else {
        // Bytes per second from the block size and the samples in a block; the encoders' own
        // bit rate figure is not the one other programs expect.
        const auto perBlock = static_cast<uint64_t>(encoder->FrameSize());
        head.wBitsPerSample = tag == WAVE_FORMAT_GSM610 ? 0 : 4;
        head.nAvgBytesPerSec =
            perBlock ? static_cast<uint32_t>(uint64_t{rate} * align / perBlock) : 0;
    }
    return Serialize(head, encoder->Extra());
}
} // namespace

namespace WaveFormatCatalog {

std::vector<uint16_t> WritableTags() {
    std::vector<uint16_t> tags = {WAVE_FORMAT_PCM,       WAVE_FORMAT_IEEE_FLOAT, WAVE_FORMAT_ADPCM,
                                  WAVE_FORMAT_IMA_ADPCM, WAVE_FORMAT_ALAW,       WAVE_FORMAT_MULAW};
    if (GsmWritable())
        tags.push_back(WAVE_FORMAT_GSM610);
    return tags;
}

std::optional<Offered> OfferedFor(uint16_t tag) {
    switch (tag) {
    case WAVE_FORMAT_PCM:
        return Offered{tag, {1, 2}, kPcmRates, {8, 16, 24, 32}};
    case WAVE_FORMAT_IEEE_FLOAT:
        return Offered{tag, {1, 2}, kPcmRates, {32}};
    case WAVE_FORMAT_ADPCM:
    case WAVE_FORMAT_IMA_ADPCM:
        return Offered{tag, {1, 2}, kCodecRates, {4}};
    case WAVE_FORMAT_ALAW:
    case WAVE_FORMAT_MULAW:
        return Offered{tag, {1, 2}, kCodecRates, {8}};
    case WAVE_FORMAT_GSM610:
        if (GsmWritable()) // libgsm's Microsoft variant: 8000 Hz mono only
            return Offered{tag, {1}, {8000}, {0}};
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

std::vector<std::vector<uint8_t>> OfferedRecords(uint16_t tag) {
    std::vector<std::vector<uint8_t>> records;
    const auto offered = OfferedFor(tag);
    if (!offered)
        return records;
    for (uint16_t channels : offered->channels)
        for (uint32_t rate : offered->rates)
            for (uint16_t bits : offered->bits) {
                auto record = MakeRecord(tag, channels, rate, bits);
                if (!record.empty())
                    records.push_back(std::move(record));
            }
    return records;
}

std::vector<uint8_t> MakeRecord(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    if (channels < 1 || channels > kMaxWaveChannels || rate < LowestSampleRate ||
        rate > HighestSampleRate)
        return {};
    switch (tag) {
    case WAVE_FORMAT_PCM:
        if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
            return {};
        return Serialize(MakePcmFormat(channels, rate, bits), {});
    case WAVE_FORMAT_IEEE_FLOAT: {
        if (bits != 32)
            return {};
        WAVEFORMATEX head = MakePcmFormat(channels, rate, bits);
        head.wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
        return Serialize(head, {});
    }
    case WAVE_FORMAT_ALAW:
    case WAVE_FORMAT_MULAW:
        return bits == 8 ? MakeCoded(tag, channels, rate) : std::vector<uint8_t>{};
    case WAVE_FORMAT_ADPCM:
    case WAVE_FORMAT_IMA_ADPCM:
        return bits == 4 && channels <= 2 ? MakeCoded(tag, channels, rate) : std::vector<uint8_t>{};
    case WAVE_FORMAT_GSM610:
        return bits == 0 ? MakeCoded(tag, channels, rate) : std::vector<uint8_t>{};
    default:
        return {};
    }
}

bool CanWrite(std::span<const uint8_t> record) {
    if (record.size() < sizeof(WAVEFORMATEX))
        return false;
    WAVEFORMATEX head;
    std::memcpy(&head, record.data(), sizeof head);
    if (head.nChannels < 1 || head.nChannels > kMaxWaveChannels)
        return false;
    // The sink's last step always starts from 16-bit PCM of the output's own shape.
    const WAVEFORMATEX pcm = MakePcmFormat(head.nChannels, head.nSamplesPerSec, 16);
    const auto source = ParseWaveFormat(&pcm, sizeof pcm);
    const auto destination = ParseWaveFormat(record.data(), record.size());
    return source && destination && WaveCodecStream::Open(*source, *destination) != nullptr;
}

std::string TagName(uint16_t tag) {
    for (const auto& n : kNames)
        if (n.tag == tag)
            return n.name;
    const AVCodecID codec = CodecForWaveTag(tag);
    if (codec == AV_CODEC_ID_NONE || !Av().avcodec_find_decoder(codec))
        return {};
    const AVCodecDescriptor* d = Av().avcodec_descriptor_get(codec);
    return d && d->long_name ? d->long_name : Av().avcodec_get_name(codec);
}

std::string Describe(std::span<const uint8_t> record) {
    // Only the head is described: callers may pass the 18 bytes without what follows.
    if (record.size() < 16)
        return {};
    WAVEFORMATEX head{};
    std::memcpy(&head, record.data(), 16);
    if (TagName(head.wFormatTag).empty() || head.nChannels < 1 ||
        head.nChannels > kMaxWaveChannels || head.nSamplesPerSec < LowestSampleRate ||
        head.nSamplesPerSec > HighestSampleRate)
        return {};
    std::string text = Thousands(head.nSamplesPerSec) + " Hz, ";
    if (head.wBitsPerSample != 0)
        text += std::to_string(head.wBitsPerSample) + " Bit, ";
    return text + ChannelsText(head.nChannels);
}

} // namespace WaveFormatCatalog
