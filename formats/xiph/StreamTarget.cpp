#include "formats/xiph/StreamTarget.h"

#include "catalog/OutputShapeOptions.h"

namespace {
constexpr uint16_t MaxChannels = 8;

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
    const auto rate = static_cast<uint32_t>(chosenRate > 0 ? chosenRate : input.nSamplesPerSec);
    if (channels < 1 || channels > MaxChannels || !IsUsableSampleRate(rate))
        return std::nullopt;
    return StreamEncoderConfig{rate, channels, StreamFloat32, 0};
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
