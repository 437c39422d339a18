#pragma once
// Where a job's outputs go and in which format. The host holds these (the options form's
// destination controls and format buttons, or the command line); they do not change during a job.
#include <cstdint>
#include <string>
#include <utility>

#include "catalog/ConversionSettings.h"

struct DestinationSettings {
    // True: each output goes next to its input; false: into Folder.
    bool SameFolder = true;
    std::string Folder;
    uint8_t Target = DefaultTargetFormat;
    // How outputs in Folder are named, a pattern NamePattern.h reads; empty: after their inputs.
    std::string NamePattern;
    // Inputs below this folder keep their tree, and {folder}, relative to it; empty: none.
    std::string BaseFolder;
    // Every part of an output's path below Folder as FAT and exFAT accept it (SafeName.h).
    bool SafeNames = false;

    static DestinationSettings NextToInputs(uint8_t target) {
        DestinationSettings destination;
        destination.Target = target;
        return destination;
    }
    static DestinationSettings Into(std::string folder, uint8_t target) {
        DestinationSettings destination;
        destination.SameFolder = false;
        destination.Folder = std::move(folder);
        destination.Target = target;
        return destination;
    }
};
