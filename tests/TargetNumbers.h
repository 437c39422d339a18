#pragma once
// The numbers the settings store keeps for the target formats, as users' stored choices name them
// (FormatTableTest checks that each still names its format), and the options of a target by flag.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "catalog/FormatOptions.h"

enum TargetNumber : uint8_t {
    tfWave = 0,
    tfMp3 = 1,
    tfWMA = 2,
    tfFlac = 3,
    tfOpus = 4,
    tfVorbis = 5,
    tfAac = 6,
    tfAlac = 7,
};

inline const FormatOption& OptionOf(uint8_t target, std::string_view flag) {
    const FormatOption* option = FindFormatOption(flag, target);
    if (!option) {
        throw std::invalid_argument("no option " + std::string(flag));
    }
    return *option;
}
