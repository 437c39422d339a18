#pragma once
// The encoder options given as numbers, of every format, one entry each. The MP3 and WMA choices
// are items of fixed lists instead (EncoderChoiceLists.h).
#include <span>
#include <string_view>

#include "formats/FormatOption.h"

std::span<const FormatOption> FormatOptions();

// The option of that flag that applies to target; nullptr when none does.
const FormatOption* FindFormatOption(std::string_view flag, uint8_t target);
