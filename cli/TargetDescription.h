#pragma once
// What a job writes, in words: the target format and its encoder settings.
#include <string>
#include <vector>

#include "catalog/ConversionSettings.h"

// {"MP3", "128 kbit/s", "44100 Hz", "stereo"}; for WAVE the output format's name, bits per
// sample, rate and channels.
std::vector<std::string> TargetParts(const ConversionSettings& settings);
// "MP3 128 kbit/s 44100 Hz stereo", for the job's first line.
std::string DescribeTarget(const ConversionSettings& settings);
// "mp3, 128 kbit/s, 44100 Hz, stereo", as --help shows a default.
std::string DescribeDefault(const ConversionSettings& settings);
// "PCM, 16 bit, 44100 Hz, stereo": the WAVE output format alone.
std::string DescribeWaveFormat(const ConversionSettings& settings);
