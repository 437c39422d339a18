#pragma once
// What a stream-encoded output (FLAC, Opus, Vorbis) is made of: its module and the PCM its
// encoder takes. Channels and rate follow the input unless the job names them; a lossless output
// keeps the input's depth (16 bits up to 16, else 24: float too); the lossy ones take floats.
#include <optional>

#include "codecs/StreamCodecApi.h"
#include "engine/ConversionSettings.h"
#include "engine/WaveFormat.h"

struct StreamTarget {
    const char* ModuleFile;
    WAVEFORMATEX Pcm;
    StreamEncoderConfig Config;
};

// Nothing for a target number that is not a stream format or an input it cannot describe.
std::optional<StreamTarget> StreamTargetFor(uint8_t target, const WAVEFORMATEX& input,
                                            const ConversionSettings& settings);
