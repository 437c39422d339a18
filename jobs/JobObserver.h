#pragma once
// The front end's side of a running job: the controller calls these on the thread it runs on.
#include <cstddef>

#include "engine/RowOutcome.h"
#include "engine/RowValues.h"
#include "jobs/JobProgress.h"

class JobObserver {
public:
    virtual ~JobObserver() = default;
    // A row began on a slot.
    virtual void RowStarted(std::size_t slot, std::size_t row) = 0;
    // The row on a slot is having its output verified.
    virtual void RowVerifying(std::size_t /*slot*/, std::size_t /*row*/) {}
    // The figures changed: a row started, advanced or ended.
    virtual void Progress(const JobProgress& progress) = 0;
    // The job is being cancelled: what runs stops between two blocks.
    virtual void Cancelling() = 0;
    // A row that began has ended so (its output, when converted, is in place), with what its
    // observer measured: what a front end that keeps a record of each output learns as soon as
    // it is true.
    virtual void RowEnded(std::size_t /*row*/, RowOutcome /*outcome*/,
                          const RowValues& /*values*/) {}
};
