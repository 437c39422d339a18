#include "cli/TargetDescription.h"

#include <cstring>

#include "acm/WaveFormatCatalog.h"
#include "cli/NumberOptions.h"
#include "catalog/FormatTable.h"
#include "engine/WaveFormat.h"

namespace {
std::string ChannelsText(int channels) {
    return channels == 1   ? "mono"
           : channels == 2 ? "stereo"
                           : std::to_string(channels) + " channels";
}

std::vector<std::string> WaveParts(const ConversionSettings& settings) {
    WAVEFORMATEX format;
    std::memcpy(&format, settings.WaveOutputFormat.data(), sizeof format);
    std::string name = WaveFormatCatalog::TagName(format.wFormatTag);
    if (name.empty()) {
        name = "format " + std::to_string(format.wFormatTag);
    }
    std::vector<std::string> parts = {name};
    if (format.wBitsPerSample != 0) {
        parts.push_back(std::to_string(format.wBitsPerSample) + " bit");
    }
    parts.push_back(std::to_string(format.nSamplesPerSec) + " Hz");
    parts.push_back(ChannelsText(format.nChannels));
    return parts;
}

std::string Joined(const std::vector<std::string>& parts, std::size_t first,
                   const char* separator) {
    std::string text;
    for (std::size_t i = first; i < parts.size(); ++i) {
        text += (text.empty() ? "" : separator) + parts[i];
    }
    return text;
}
} // namespace

std::vector<std::string> TargetParts(const ConversionSettings& settings) {
    const FormatInfo* format = FindTargetFormat(settings.TargetFormat);
    std::vector<std::string> parts = {format ? std::string(format->Name) : "?"};
    std::vector<std::string> options;
    switch (settings.TargetFormat) {
    case tfWave:
        options = WaveParts(settings);
        break;
    case tfMp3:
        options = {std::to_string(settings.Mp3BitRate) + " kbit/s",
                   std::to_string(settings.Mp3SampleRate) + " Hz",
                   settings.Mp3Stereo ? "stereo" : "mono"};
        break;
    case tfWMA:
        options = {std::to_string(settings.WmaBitRate) + " kbit/s",
                   std::to_string(settings.WmaSampleRate) + " Hz",
                   ChannelsText(settings.WmaChannels)};
        break;
    default:
        options = NumberOptionTexts(settings);
        break;
    }
    parts.insert(parts.end(), options.begin(), options.end());
    return parts;
}

std::string DescribeTarget(const ConversionSettings& settings) {
    return Joined(TargetParts(settings), 0, " ");
}

std::string DescribeDefault(const ConversionSettings& settings) {
    const FormatInfo* format = FindTargetFormat(settings.TargetFormat);
    const std::vector<std::string> parts = TargetParts(settings);
    const std::string options = Joined(parts, 1, ", ");
    return std::string(format ? format->Key : "?") + (options.empty() ? "" : ", " + options);
}

std::string DescribeWaveFormat(const ConversionSettings& settings) {
    return Joined(WaveParts(settings), 0, ", ");
}
