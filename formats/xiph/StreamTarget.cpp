#include "formats/xiph/StreamTarget.h"

#include <algorithm>

#include "catalog/FormatTable.h"
#include "catalog/OutputShapeOptions.h"

namespace {
constexpr uint16_t MaxChannels = 8;

// The input's rate, or the highest its target's encoder writes where that is lower.
uint32_t InputRateWritten(const WAVEFORMATEX& input, const ConversionSettings& settings) {
    const FormatInfo* format = FindTargetFormat(settings.TargetFormat);
    const auto most = static_cast<uint32_t>(format ? format->MostSampleRate : 0);
    return most != 0 ? std::min(input.nSamplesPerSec, most) : input.nSamplesPerSec;
}

bool IsInt16(const WAVEFORMATEX& input) {
    return input.wFormatTag == WAVE_FORMAT_PCM && input.wBitsPerSample == 16;
}
} // namespace

std::optional<StreamEncoderConfig> StreamShape(const WAVEFORMATEX& input,
                                               const ConversionSettings& settings) {
    const int32_t chosenChannels = settings.Options.Of(OutputChannelsOption);
    const int32_t chosenRate = settings.Options.Of(OutputSampleRateOption);
    const auto channels =
        static_cast<uint16_t>(chosenChannels > 0 ? chosenChannels : input.nChannels);
    const auto rate =
        chosenRate > 0 ? static_cast<uint32_t>(chosenRate) : InputRateWritten(input, settings);
    if (channels < 1 || channels > MaxChannels || !IsUsableSampleRate(rate))
        return std::nullopt;
    return StreamEncoderConfig{rate, channels, StreamFloat32, 0, 0};
}

StreamTarget LosslessStreamTarget(const WAVEFORMATEX& input, StreamEncoderConfig shape) {
    // A coded input holds no more than 16 bits' worth.
    const bool integer =
        input.wFormatTag == WAVE_FORMAT_PCM || input.wFormatTag == WAVE_FORMAT_EXTENSIBLE;
    const bool deep =
        input.wFormatTag == WAVE_FORMAT_IEEE_FLOAT || (integer && input.wBitsPerSample > 16);
    shape.sampleKind = deep ? StreamInt24 : StreamInt16;
    return {MakePcmFormat(shape.channels, shape.sampleRate, shape.sampleKind), shape};
}

StreamTarget LossyStreamTarget(const WAVEFORMATEX& input, StreamEncoderConfig shape) {
    // Converting sixteen-bit input to floats first would need FFmpeg's resampler and a pass over
    // the whole stream.
    if (IsInt16(input) && shape.channels == input.nChannels &&
        shape.sampleRate == input.nSamplesPerSec) {
        shape.sampleKind = StreamInt16;
        return {MakePcmFormat(shape.channels, shape.sampleRate, 16), shape};
    }
    shape.sampleKind = StreamFloat32;
    return {MakeFloatFormat(shape.channels, shape.sampleRate), shape};
}
