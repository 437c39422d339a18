#pragma once
// The output path of an input under the destination settings: the folder (the input's own or
// the chosen one), the input's name without its extension, and the target's extension.
#include <string>
#include <string_view>

#include "engine/DestinationSettings.h"

std::string MakeOutputPath(std::string_view inputPath, const DestinationSettings& destination);
// The same with another name below the folder (which may hold folders), without extension.
std::string MakeOutputPath(std::string_view inputPath, const DestinationSettings& destination,
                           std::string_view name);

// The target's extension from the table of target formats; none for a number that names no
// format (no sink is made for it either).
std::string_view OutputExtension(uint8_t target);
