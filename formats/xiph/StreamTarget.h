#pragma once
// What an output of a Xiph.Org format is made of: the PCM its encoder takes and the encoder's
// settings. Each of those formats chooses its own (a StreamTargetChooser); these are the rules
// they share. Channels and rate follow the input unless the job names them.
#include <optional>

#include "catalog/ConversionSettings.h"
#include "catalog/FormatOption.h"
#include "codecs/StreamCodecApi.h"
#include "engine/WaveFormat.h"

struct StreamTarget {
    WAVEFORMATEX Pcm;
    StreamEncoderConfig Config;
};

// Nothing for an input it cannot describe.
using StreamTargetChooser = std::optional<StreamTarget> (*)(const WAVEFORMATEX& input,
                                                            const ConversionSettings& settings);

// The output's channels and rate; nothing when the encoders cannot take them.
std::optional<StreamEncoderConfig> StreamShape(const WAVEFORMATEX& input,
                                               const ConversionSettings& settings);
// A lossless output keeps the input's depth: 16 bits up to 16, else 24 (float too).
StreamTarget LosslessStreamTarget(const WAVEFORMATEX& input, StreamEncoderConfig shape);
// A lossy encoder takes floats, but sixteen-bit input goes to it as it is.
StreamTarget LossyStreamTarget(const WAVEFORMATEX& input, StreamEncoderConfig shape);

// The chooser of a format whose encoder takes one setting, the value of option, and whose PCM
// follows target's rule.
template <const FormatOption& option,
          StreamTarget (*target)(const WAVEFORMATEX&, StreamEncoderConfig)>
std::optional<StreamTarget> ChooseStreamTarget(const WAVEFORMATEX& input,
                                               const ConversionSettings& settings) {
    auto shape = StreamShape(input, settings);
    if (!shape)
        return std::nullopt;
    shape->setting = settings.Options.Of(option);
    return target(input, *shape);
}
