#pragma once
// The text of brindlex-convert --help.
#include <string>

#include "catalog/ConversionSettings.h"

// defaults: the target and the options a job would use now.
std::string CliUsage(const ConversionSettings& defaults);
