#pragma once
// The WAVE output format as a choice of the command line: taken as text, said in words, and
// started from as it was kept between runs.
#include <string>
#include <vector>

#include "catalog/FormatTextOption.h"

struct ConversionSettings;

extern const FormatTextOption WaveOutputFormatOption;

// The format's name, bits per sample (when it has them), rate and channels:
// {"PCM", "16 bit", "44100 Hz", "stereo"}.
std::vector<std::string> WaveOutputWords(const ConversionSettings& settings);
