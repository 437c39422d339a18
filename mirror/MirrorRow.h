#pragma once
// One output of a mirror as the journal keeps it: the source it was made from as it was then,
// the settings that made it, and the output as it was written.
#include <cstdint>
#include <optional>
#include <string>

#include "mirror/Digest.h"

struct MirrorRow {
    // Which of the run's source folders, as the caller names it, and the path below it.
    std::string root;
    std::string source;
    int64_t sourceSize = 0;
    int64_t sourceMtimeNs = 0;
    std::optional<Digest> audioDigest;
    std::optional<Digest> tagsDigest;
    // Changes whenever the target's settings change.
    std::string settings;
    // Relative to the mirror's folder.
    std::string output;
    int64_t outputSize = 0;
    int64_t outputMtimeNs = 0;
    std::optional<Digest> outputDigest;
    // Recorded before the output is written and cleared once it is: a run killed in between
    // leaves a row that says the name was ours to take, but not what it holds. Where an output
    // is made again, the pending row keeps the earlier row's facts: an output still as they say
    // was never touched.
    bool pending = false;
};
