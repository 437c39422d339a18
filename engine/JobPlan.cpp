#include "engine/JobPlan.h"

#include "engine/MakeOutputPath.h"
#include "engine/OutputClaims.h"
#include "system/FileNames.h"
#include "system/FileRoutines.h"

JobPlan::JobPlan(std::vector<std::string> inputs, const DestinationSettings& destination,
                 const RenameTable& renames, std::vector<std::string> subFolders)
    : JobPlan(std::move(inputs), destination, renames, std::move(subFolders), RowFilter()) {}

JobPlan::JobPlan(std::vector<std::string> inputs, const DestinationSettings& destination,
                 const RenameTable& renames, std::vector<std::string> subFolders,
                 const RowFilter& keep) {
    OutputClaims claims;
    rows_.reserve(inputs.size());
    for (std::size_t input = 0; input < inputs.size(); ++input) {
        PlannedRow planned;
        planned.Input = std::move(inputs[input]);
        const std::string_view sub =
            input < subFolders.size() ? subFolders[input] : std::string_view();
        planned.Output = OutputOf(planned.Input, destination, renames, sub);
        planned.OutputExists = FileExists(planned.Output);
        if (keep && !keep(input, planned)) {
            continue;
        }
        planned.SameOutputAs = claims.Owner(planned.Output);
        claims.Claim(planned.Output, rows_.size());
        rows_.push_back(std::move(planned));
    }
}

std::vector<std::size_t> JobPlan::ExistingOutputs() const {
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row].OutputExists) {
            rows.push_back(row);
        }
    }
    return rows;
}

std::vector<std::size_t> JobPlan::ClashingRows() const {
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row].SameOutputAs) {
            rows.push_back(row);
        }
    }
    return rows;
}

std::string JobPlan::OutputOf(std::string_view input, const DestinationSettings& destination,
                              const RenameTable& renames, std::string_view subFolder) {
    std::string output;
    if (!destination.SameFolder && !subFolder.empty()) {
        DestinationSettings below = destination;
        WithTrailingSlash(below.Folder);
        below.Folder += subFolder;
        output = MakeOutputPath(input, below);
    } else {
        output = MakeOutputPath(input, destination);
    }
    renames.Apply(output);
    return output;
}
