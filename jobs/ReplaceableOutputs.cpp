#include "jobs/ReplaceableOutputs.h"

ReplaceableOutputs::ReplaceableOutputs(const std::vector<std::string>& listed, bool any,
                                       Listed listedAre)
    : listed_(listed.begin(), listed.end()), any_(any), listedAre_(listedAre) {}

bool ReplaceableOutputs::Contains(const std::string& outputPath) const {
    return any_ || (listedAre_ == Listed::Replaced && listed_.count(outputPath) != 0);
}

bool ReplaceableOutputs::Skips(const std::string& outputPath) const {
    return listedAre_ == Listed::Skipped && listed_.count(outputPath) != 0;
}
