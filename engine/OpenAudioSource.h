#pragma once
// Opens the source of an input, chosen by its extension among the formats read.
#include <memory>

#include "engine/AudioSource.h"
#include "engine/ConversionError.h"
#include "engine/RowContext.h"

// The source for the input's type, writing its output as the row says, or null (code untouched)
// when no source reads that type.
std::unique_ptr<AudioSource> OpenAudioSource(const char* inputPath, const RowContext& row,
                                             ConversionError& code);
