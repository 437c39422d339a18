#pragma once
// The help's lines for the formats' own options, under the names of the formats that take them:
// each format's own (its option given as text first), then those that several formats share,
// each with the value a job would use now.
#include <string>

#include "catalog/ConversionSettings.h"

std::string FormatOptionsHelp(const ConversionSettings& defaults);
