#pragma once
// The MP3 encoder's choices: two fixed lists and stereo or mono, kept in the settings store as
// they always have been.
#include <cstdint>
#include <string>

#include "catalog/FormatOption.h"

extern const FormatOption Mp3SampleRateOption; // Hz
extern const FormatOption Mp3BitRateOption;    // kbit/s
extern const FormatOption Mp3MonoOption;       // 1: mono

// Stereo or mono in words; the lists' values are plain numbers, with no words of their own.
std::string Mp3OptionWords(const FormatOption& option, int32_t value);
