#pragma once
// The MP3 encoder's choices: two fixed lists, stereo or mono, kept in the settings store as they
// always have been, and a variable bit rate's quality in place of the constant bit rate.
#include <cstdint>
#include <string>

#include "catalog/FormatOption.h"

extern const FormatOption Mp3SampleRateOption; // Hz
extern const FormatOption Mp3BitRateOption;    // kbit/s
extern const FormatOption Mp3MonoOption;       // 1: mono
extern const FormatOption Mp3VbrOption;        // LAME's -V 0..9; -1: constant bit rate

struct ConversionSettings;

// Stereo or mono and the VBR qualities in words; the lists' values are plain numbers, with no
// words of their own.
std::string Mp3OptionWords(const FormatOption& option, int32_t value);
// Whether the settings ask for a variable bit rate rather than the constant one.
bool Mp3IsVbr(const ConversionSettings& settings);
