#pragma once
// How the source of each input format is made, found by the format's key in the format table.
#include <memory>
#include <string_view>

#include "engine/AudioSource.h"
#include "engine/ConversionError.h"
#include "engine/RowContext.h"

using SourceFactory = std::unique_ptr<AudioSource> (*)(const char* inputPath, const RowContext& row,
                                                       ConversionError& code);

// nullptr for a key that names no format with a source.
SourceFactory FindSourceFactory(std::string_view key);
