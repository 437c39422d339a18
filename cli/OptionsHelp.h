#pragma once
// The help's lines for the formats' own options: first those given as text, then the encoder
// options (FormatOptions.h), each with the value a job would use now.
#include <string>

#include "catalog/ConversionSettings.h"

std::string FormatOptionsHelp(const ConversionSettings& defaults);
