#pragma once
// A choice of one format that the command line takes as text, not as a number (the WAVE output
// format): its flag and help, how its text sets a job's settings, and the choice kept between
// runs.
#include <string>
#include <string_view>

struct ConversionSettings;

struct FormatTextOption {
    std::string_view Flag;        // "--wave-format"
    std::string_view Placeholder; // what the help shows after the flag: "TAG:CHANNELS:RATE:BITS"
    // What it does and takes, one help line after another, each ended by '\n'.
    std::string_view Help;
    // Sets the choice from text; false with a one-line reason.
    bool (*Apply)(const std::string& text, ConversionSettings& settings, std::string& error);
    // Puts the choice kept between runs into settings. When that one could not be used and
    // another took its place, what to tell the user; else empty.
    std::string (*LoadKept)(ConversionSettings& settings);
};
