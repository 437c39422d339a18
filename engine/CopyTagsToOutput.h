#pragma once
// Carries an input's tags over to the output the job has just finished, when the job's settings
// ask for it. Never fails the file: tags that cannot be copied are left behind.
#include <string>

struct ConversionSettings;

void CopyTagsToOutput(const std::string& input, const ConversionSettings& settings);
