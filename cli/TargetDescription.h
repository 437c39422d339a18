#pragma once
// What a job writes, in words: the target format and its encoder settings.
#include <string>
#include <vector>

#include "catalog/ConversionSettings.h"
#include "catalog/FormatInfo.h"

// The target's name, then what its settings make of the outputs: {name, "128 kbit/s",
// "44100 Hz", "stereo"}. An option left "as the input" says nothing.
std::vector<std::string> TargetParts(const ConversionSettings& settings);
// "<name> 128 kbit/s 44100 Hz stereo", for the job's first line.
std::string DescribeTarget(const ConversionSettings& settings);
// "<key>, 128 kbit/s, 44100 Hz, stereo", as --help shows a default.
std::string DescribeDefault(const ConversionSettings& settings);
// "128 kbit/s, 44100 Hz, stereo": what settings make of outputs of format, whether it is the
// target or not.
std::string DescribeFormatSettings(const FormatInfo& format, const ConversionSettings& settings);
