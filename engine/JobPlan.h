#pragma once
// The outputs of a job, worked out before it starts: each row's output path (OutputNaming, then
// the rename table), whether that output exists already, and which rows would write an output
// that an earlier row writes too. Both front ends plan with it, and their host answers the
// worker's question for each row's output from it.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/DestinationSettings.h"
#include "engine/InputFolders.h"
#include "engine/RenameTable.h"
#include "engine/RowPart.h"

struct PlannedRow {
    std::string Input;
    std::string Output;
    bool OutputExists = false;
    // The earlier row that writes the same output.
    std::optional<std::size_t> SameOutputAs;
    // The part of Input the row converts; none: all of it.
    std::optional<RowPart> Part = {};
};

class JobPlan {
public:
    // folders: where each input came from (InputFolders.h); their tree is used only when the
    // outputs go into a chosen folder, and not at all when a naming pattern names them.
    JobPlan(std::vector<std::string> inputs, const DestinationSettings& destination,
            const RenameTable& renames, const InputFolders& folders = {});
    // keep: whether an input's row belongs to the plan, asked once its output is known and before
    // it claims that output (input is its place in inputs). The rows kept are numbered, and
    // clash, as if only their inputs had been given; the command line plans a shard so.
    using RowFilter = std::function<bool(std::size_t input, const PlannedRow& row)>;
    // parts: per input, the part of it its row converts (none, or a shorter list: all of it),
    // named after the part's tags: by the naming pattern, else "{track:02} - {title}".
    JobPlan(std::vector<std::string> inputs, const DestinationSettings& destination,
            const RenameTable& renames, const InputFolders& folders, const RowFilter& keep,
            std::vector<std::optional<RowPart>> parts = {});

    const std::vector<PlannedRow>& Rows() const { return rows_; }
    // Rows whose output exists, in row order.
    std::vector<std::size_t> ExistingOutputs() const;
    // Rows with SameOutputAs set, in row order.
    std::vector<std::size_t> ClashingRows() const;

    // The output of one input, as a plan forms it (subFolder kept as a tree).
    static std::string OutputOf(std::string_view input, const DestinationSettings& destination,
                                const RenameTable& renames, std::string_view subFolder = {});

private:
    std::vector<PlannedRow> rows_;
};
