#pragma once
// A command-line job's progress on its JobDisplay: the counter, each running file's output and
// bar, the whole job's bar and the time left, in the widths the window's bars have.
#include <functional>
#include <vector>

#include "cli/JobDisplay.h"
#include "engine/JobPlan.h"
#include "jobs/JobObserver.h"

class DisplayObserver final : public JobObserver {
public:
    // ended: told of each row's end, as the job learns it; may be left empty.
    using RowEndedHook =
        std::function<void(std::size_t row, RowOutcome outcome, const RowValues& values)>;
    DisplayObserver(const std::vector<PlannedRow>& rows, JobDisplay& display,
                    RowEndedHook ended = {})
        : rows_(rows), display_(display), ended_(std::move(ended)) {}

    void RowStarted(std::size_t slot, std::size_t row) override;
    void Progress(const JobProgress& progress) override;
    void Cancelling() override;
    void RowEnded(std::size_t row, RowOutcome outcome, const RowValues& values) override;

private:
    const std::vector<PlannedRow>& rows_;
    JobDisplay& display_;
    RowEndedHook ended_;
};
