#pragma once
// How the sink of each target format is made, found by the format's key in the format table.
#include <memory>
#include <string_view>

#include "engine/AudioSink.h"
#include "engine/RowContext.h"
#include "engine/WaveFormat.h"

using SinkFactory = std::unique_ptr<AudioSink> (*)(const WAVEFORMATEX* pcmFormat,
                                                   const RowContext& row, bool& ok);

// nullptr for a key that names no format with a sink.
SinkFactory FindSinkFactory(std::string_view key);
