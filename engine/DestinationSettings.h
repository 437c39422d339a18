#pragma once
// Where a job's outputs go and in which format. The host holds these (the options form's
// destination controls and format buttons, or the command line); they do not change during a job.
#include <cstdint>
#include <string>

#include "catalog/ConversionSettings.h"

struct DestinationSettings {
    // True: each output goes next to its input; false: into Folder.
    bool SameFolder = true;
    std::string Folder;
    uint8_t Target = DefaultTargetFormat;
};
