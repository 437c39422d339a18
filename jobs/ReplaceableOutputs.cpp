#include "jobs/ReplaceableOutputs.h"

ReplaceableOutputs::ReplaceableOutputs(const std::vector<std::string>& listed, bool any)
    : listed_(listed.begin(), listed.end()), any_(any) {}

bool ReplaceableOutputs::Contains(const std::string& outputPath) const {
    return any_ || listed_.count(outputPath) != 0;
}
