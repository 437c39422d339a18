#pragma once
// The source factory: picks the source class by the input's extension.
#include <memory>

#include "engine/CLReadDecodeBase.h"
#include "engine/ConversionError.h"

// Clears the per-file flags, then returns the source for the input's type, or null (code
// untouched) when no source reads that type.
std::unique_ptr<CLReadDecodeBase> CreateFileInput(const char* inputPath, ConversionError& code);
