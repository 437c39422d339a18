#include "engine/JobPlan.h"

#include "engine/OutputClaims.h"
#include "engine/OutputNaming.h"
#include "engine/ReadNameValues.h"
#include "system/FileRoutines.h"

namespace {
// Per input, the folder its name and kept tree are taken from.
std::vector<std::string> FoldersOf(const std::vector<std::string>& inputs,
                                   const InputFolders& folders, const OutputNaming& naming) {
    std::vector<std::string> result;
    result.reserve(inputs.size());
    for (std::size_t input = 0; input < inputs.size(); ++input) {
        result.push_back(naming.FolderOf(inputs[input], folders.Of(input)));
    }
    return result;
}

// A part is named after its own tags, over those of its input.
void PutPartTags(const RowPart& part, NameValues& values) {
    for (const auto& [name, value] : part.Tags) {
        if (!value.empty()) {
            values.tags.insert_or_assign(name, value);
        }
    }
}
} // namespace

JobPlan::JobPlan(std::vector<std::string> inputs, const DestinationSettings& destination,
                 const RenameTable& renames, const InputFolders& folders)
    : JobPlan(std::move(inputs), destination, renames, folders, RowFilter()) {}

JobPlan::JobPlan(std::vector<std::string> inputs, const DestinationSettings& destination,
                 const RenameTable& renames, const InputFolders& folders, const RowFilter& keep,
                 std::vector<std::optional<RowPart>> parts) {
    const OutputNaming naming(destination);
    std::vector<NameValues> values =
        ReadNameValues(inputs, FoldersOf(inputs, folders, naming), naming.ReadsTags());
    parts.resize(inputs.size());
    OutputClaims claims;
    rows_.reserve(inputs.size());
    for (std::size_t input = 0; input < inputs.size(); ++input) {
        PlannedRow planned;
        planned.Input = std::move(inputs[input]);
        planned.Part = std::move(parts[input]);
        if (planned.Part) {
            PutPartTags(*planned.Part, values[input]);
        }
        planned.Output = naming.OutputPath(planned.Input, values[input], folders.keepTree,
                                           planned.Part.has_value());
        renames.Apply(planned.Output);
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
    return JobPlan({std::string(input)}, destination, renames,
                   InputFolders({std::string(subFolder)}, true))
        .Rows()
        .front()
        .Output;
}
