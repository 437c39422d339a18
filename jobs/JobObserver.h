#pragma once
// The front end's side of a running job: the controller calls these on the thread it runs on.
#include <cstddef>

#include "engine/RowOutcome.h"
#include "jobs/JobProgress.h"

class JobObserver {
public:
    virtual ~JobObserver() = default;
    // A row began on a slot.
    virtual void RowStarted(std::size_t slot, std::size_t row) = 0;
    // The figures changed: a row started, advanced or ended.
    virtual void Progress(const JobProgress& progress) = 0;
    // The job is being cancelled: what runs stops between two blocks.
    virtual void Cancelling() = 0;
};
