#pragma once
// The choices the options window saved in the settings store, decoded as the window decodes
// them, so the command line defaults to what the window would show.
#include <cstdint>

#include "cli/CliOptions.h"

// "BrConvTo": 1 is MP3, 2 is WMA, anything else WAVE.
uint8_t StoredTarget();
// Fills the settings record's MP3 or WMA fields for target: from the options where given, else
// from the stored choices; a stored choice outside its list leaves the field as it was.
void ApplyEncoderChoices(uint8_t target, const CliOptions& options);
