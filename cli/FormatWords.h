#pragma once
// How the command line's texts name the formats of the table: their keys, their names in a list
// or a sentence, and what it says of an option given for a target that does not take it.
#include <string>
#include <string_view>
#include <vector>

#include "catalog/FormatInfo.h"

// "key1|key2|…": the keys of the target formats, with separator between them.
std::string TargetKeys(std::string_view separator);
// "flac|m4a|…": the words --from takes, the input extensions without their dot, with separator
// between them.
std::string InputTypeWords(std::string_view separator);
// "A, B, … and Z": every format, as a sentence names it.
std::string FormatsInASentence();
// "A, B": the formats' names, with join between them.
std::string FormatNames(const std::vector<const FormatInfo*>& formats, std::string_view join);
// "--flag applies only to A output (--to key)": the target to choose is named when there
// is only one.
std::string OnlyForMessage(std::string_view flag, const std::vector<const FormatInfo*>& formats);
