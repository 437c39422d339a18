#pragma once
// What the command line says of one encoder option of the formats (FormatOptions.h): how it is
// given, what it takes, and its values in words.
#include <cstdint>
#include <string>
#include <string_view>

#include "catalog/FormatOption.h"

enum class OptionShape : uint8_t {
    Switch,    // named without a value: "--mono"
    Items,     // the items of a list whose format says each in words: "--quality 0..7"
    FixedList, // only the values it lists: "--bitrate KBPS"
    Range,     // any number of its range: "--quality N"
};

OptionShape ShapeOf(const FormatOption& option);
// The target formats that take it, by name, with join between them: "A, B".
std::string NamesTaking(const FormatOption& option, std::string_view join);
// The values a fixed list takes: "320, 256, 192".
std::string ListedValues(const FormatOption& option);
// Its range up to most: "8000 to 96000 or 0 (as the input)".
std::string RangeText(const FormatOption& option, int32_t most);
// What it takes: "one of 320, 256 (kbit/s)", "a number from 0 to 7", "1 to 8 or 0 (as the
// input)".
std::string ValuesText(const FormatOption& option);
// What its format calls value ("mono", "44100 Hz 160 kbit/s"); empty when it has no words for it.
std::string WordsFor(const FormatOption& option, int32_t value);
// A value as a job's description says it: "mono", "128 kbit/s", "quality 5".
std::string ValueText(const FormatOption& option, int32_t value);
