#pragma once
// The command line of brindlex-convert.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct CliOptions {
    std::optional<uint8_t> target; // tfWave, tfMp3 or tfWMA; else the stored choice
    std::optional<std::string> outputDir;
    bool recursive = false;
    std::optional<std::string> waveFormat; // TAG:CHANNELS:RATE:BITS, checked later
    std::optional<int32_t> bitRate;
    std::optional<int32_t> sampleRate;
    bool mono = false;
    std::optional<int> wmaQuality;
    bool overwrite = false;
    bool noTags = false;
    bool help = false;
    std::vector<std::string> inputs;
};

// False with a one-line reason when the command line is not valid.
bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& options, std::string& error);

// Options that belong to another target than the one chosen are refused.
bool CheckOptionsForTarget(const CliOptions& options, uint8_t target, std::string& error);

// The text of --help.
std::string CliUsage();
