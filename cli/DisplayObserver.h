#pragma once
// A command-line job's progress on its JobDisplay: the counter, each running file's output and
// bar, the whole job's bar and the time left, in the widths the window's bars have.
#include <vector>

#include "cli/JobDisplay.h"
#include "engine/JobPlan.h"
#include "jobs/JobObserver.h"

class DisplayObserver final : public JobObserver {
public:
    DisplayObserver(const std::vector<PlannedRow>& rows, JobDisplay& display)
        : rows_(rows), display_(display) {}

    void RowStarted(std::size_t slot, std::size_t row) override;
    void Progress(const JobProgress& progress) override;
    void Cancelling() override;

private:
    const std::vector<PlannedRow>& rows_;
    JobDisplay& display_;
};
