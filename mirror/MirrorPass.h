#pragma once
// A mirror run from its plan to its end, for either front end, which shows it and runs the job:
// the journal's pending rows, the items done without an encoder (deleted, moved, copied,
// retagged), the rows the job's encoder makes, each finished in the journal as the job says it
// ended, the emptied folders, and what became of every item. Nothing here prints.
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "catalog/ConversionSettings.h"
#include "engine/JobPlan.h"
#include "engine/RowOutcome.h"
#include "engine/RowValues.h"
#include "mirror/MirrorJournal.h"
#include "mirror/MirrorPlan.h"
#include "mirror/MirrorReport.h"
#include "mirror/MirrorWriter.h"

class MirrorPass {
public:
    MirrorPass(MirrorPlan& plan, MirrorJournal& journal, const ConversionSettings& settings);

    // Before anything is written: false when the journal refused the pending rows.
    bool Prepare();
    // Does every item that needs no encoder.
    void CarryWithoutEncoder();
    // The job's rows: the items an encoder makes, in plan order; replaced: the outputs of them
    // that exist, which the job may replace.
    std::vector<PlannedRow> StartEncoding(std::vector<std::string>& replaced);
    // The job says its row ended so, with what its observers measured (on the thread that runs
    // the job).
    void RowEnded(std::size_t row, RowOutcome outcome, const RowValues& values);
    // The job is over, with its lines.
    void JobEnded(const std::vector<std::string>& jobLines);
    // Commits what is left and removes the folders the run emptied.
    void Finish();

    const MirrorPlan& Plan() const { return plan_; }
    const MirrorReport& Report() const { return report_; }
    // The lines of what went wrong, in the order it happened.
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    MirrorPlan& plan_;
    MirrorWriter writer_;
    MirrorReport report_;
    std::vector<std::string> lines_;
    // The job's rows' places in the plan, and when the job started.
    std::vector<std::size_t> encoded_;
    std::chrono::steady_clock::time_point jobStart_;
};
