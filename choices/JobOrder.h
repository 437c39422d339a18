#pragma once
// What the options window asks its job driver to convert, as its controls show it when the user
// presses Convert: the conversion list, the choices and the destination.
#include <optional>
#include <string>
#include <vector>

#include "choices/PlannedJob.h"
#include "engine/ConverterChoices.h"
#include "engine/DestinationSettings.h"
#include "engine/RowPart.h"
#include "engine/WaveOutputFormatFile.h"

struct JobOrder {
    std::vector<std::string> Inputs;
    // Per input, its folder below the marked folder it came from ("" or "a/b/").
    std::vector<std::string> SubFolders;
    ConverterChoices Choices;
    // The WAVE output format as the chooser left it.
    WaveOutputFormatBuffer WaveFormat{};
    DestinationSettings Destination;
    // "Keep folder tree".
    bool KeepTree = false;
    // Per input, the part of it its row converts (a cue sheet's track); none: all of it.
    std::vector<std::optional<RowPart>> Parts = {};

    PlannedJob Planned() const {
        return PlannedJob(Inputs, SubFolders, Destination, KeepTree, Parts);
    }
};
