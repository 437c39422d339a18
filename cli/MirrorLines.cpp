#include "cli/MirrorLines.h"

std::string MirrorItemLine(const MirrorPlan& plan, const MirrorItem& item, char separator) {
    std::string line = std::string(MirrorActionWord(item.Action())) + separator +
                       item.SourcePath() + separator + plan.Folder() + "/" + item.output;
    if (item.Action() == MirrorAction::Rename) {
        line += separator + ("from '" + plan.Folder() + "/" + item.oldOutput + "'");
    } else if (!item.verdict.reason.empty()) {
        line += separator + item.verdict.reason;
    }
    return line;
}

std::string MirrorCountsLine(const std::array<std::size_t, 8>& counts, std::size_t failed) {
    std::string line;
    for (std::size_t action = 0; action < counts.size(); ++action) {
        line += std::to_string(counts[action]) + " " +
                std::string(MirrorActionWord(static_cast<MirrorAction>(action))) + ", ";
    }
    return line + std::to_string(failed) + " failed";
}
