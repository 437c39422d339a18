#pragma once
// Converts the rows a job controller hands it, on a number of slots, and reports back as events.
// Two kinds: in this process one row at a time (ThreadRunner), or in worker processes, one row
// process converting at a time, where a crash fails only its row (ProcessPoolRunner).
#include <csignal>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/RowRequest.h"
#include "jobs/RowEvent.h"

class JobRunner {
public:
    virtual ~JobRunner() = default;

    // How many rows it converts at once at most.
    virtual std::size_t SlotCount() const = 0;
    // A slot that takes a row now: one that converts none if there is one, else (for a runner
    // that can hold the next row) one whose row it begins right after the current one; none
    // while all are full.
    virtual std::optional<std::size_t> IdleSlot() const = 0;
    // Whether any slot converts a row.
    virtual bool Busy() const = 0;
    // Starts the row on the idle slot; false, with the reason, when the slot cannot take it (its
    // worker process would not start).
    virtual bool Begin(std::size_t slot, const RowRequest& request, std::string& problem) = 0;
    // Waits until something happened: events arrived, wake became readable, or a signal of those
    // open while waiting came (all signals are left as they are when open is null).
    virtual std::vector<RowEvent> Wait(int wake, const sigset_t* open) = 0;
    // Asks every row being converted to stop between two blocks.
    virtual void Cancel() = 0;
};
