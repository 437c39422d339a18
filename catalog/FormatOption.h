#pragma once
// One encoder option given as a number: how the command line, the settings store and the worker
// messages name it, which values it takes and which field of the job's settings it sets. Its
// default is that field's initial value.
#include <cstdint>
#include <span>
#include <string_view>

#include "catalog/ConversionSettings.h"

// A value the window lists for an option, with its text; an empty text shows the number and the
// option's unit.
struct OfferedValue {
    int32_t Value;
    std::string_view Text = {};
};

struct FormatOption {
    std::string_view Caption;    // for people, after the format's name: "compression level"
    std::string_view Flag;       // on the command line: "--compression-level"
    std::string_view StoredName; // in the settings store: "BrConvFlacLevel"
    int32_t Least;
    int32_t Most;
    // 0 is taken too, meaning "as the input", though it lies outside Least..Most.
    bool ZeroKeepsInput;
    std::string_view Unit; // after a value in texts: "kbit/s"; may be empty
    int32_t ConversionSettings::*Field;
    // What the window lists, in order; empty: any value of the range, chosen with a spin box.
    std::span<const OfferedValue> Offered = {};

    bool Accepts(int32_t value) const {
        return (value >= Least && value <= Most) || (ZeroKeepsInput && value == 0);
    }
    int32_t Default() const { return ConversionSettings{}.*Field; }
};
