#include "sinks/StreamTarget.h"

#include "formats/FormatTable.h"

namespace {
constexpr uint16_t MaxChannels = 8;

// The integer depth a lossless output keeps for an input of this record.
uint16_t LosslessKind(const WAVEFORMATEX& input) {
    if (input.wFormatTag == WAVE_FORMAT_IEEE_FLOAT)
        return StreamInt24;
    // A coded input holds no more than 16 bits' worth.
    const bool integer =
        input.wFormatTag == WAVE_FORMAT_PCM || input.wFormatTag == WAVE_FORMAT_EXTENSIBLE;
    return integer && input.wBitsPerSample > 16 ? StreamInt24 : StreamInt16;
}

bool IsInt16(const WAVEFORMATEX& input) {
    return input.wFormatTag == WAVE_FORMAT_PCM && input.wBitsPerSample == 16;
}
} // namespace

std::optional<StreamTarget> StreamTargetFor(uint8_t target, const WAVEFORMATEX& input,
                                            const ConversionSettings& settings) {
    const auto channels = static_cast<uint16_t>(
        settings.OutputChannels > 0 ? settings.OutputChannels : input.nChannels);
    const auto rate = static_cast<uint32_t>(
        settings.OutputSampleRate > 0 ? settings.OutputSampleRate : input.nSamplesPerSec);
    if (channels < 1 || channels > MaxChannels || !IsUsableSampleRate(rate))
        return std::nullopt;
    const FormatInfo* format = FindTargetFormat(target);
    if (!format || format->WriteModules.size() != 1)
        return std::nullopt;
    const char* module = format->WriteModules.front().File;
    const WAVEFORMATEX floats = MakeFloatFormat(channels, rate);
    switch (target) {
    case tfFlac: {
        const uint16_t kind = LosslessKind(input);
        return StreamTarget{module,
                            MakePcmFormat(channels, rate, kind),
                            {rate, channels, kind, settings.FlacCompressionLevel}};
    }
    case tfOpus:
    case tfVorbis: {
        const int32_t setting = target == tfOpus ? settings.OpusBitRate : settings.VorbisQuality;
        // Sixteen-bit input goes to the encoder as it is: converting it to floats first would
        // need FFmpeg's resampler and a pass over the whole stream.
        if (IsInt16(input) && channels == input.nChannels && rate == input.nSamplesPerSec)
            return StreamTarget{
                module, MakePcmFormat(channels, rate, 16), {rate, channels, StreamInt16, setting}};
        return StreamTarget{module, floats, {rate, channels, StreamFloat32, setting}};
    }
    default:
        return std::nullopt;
    }
}
