#pragma once
// Runs a job's rows inside this process, one after another on one worker thread (ConversionThread).
#include <memory>

#include "engine/ConversionThread.h"
#include "engine/RowConverter.h"
#include "jobs/EventQueue.h"
#include "jobs/JobRunner.h"

class ThreadRunner final : public JobRunner, public RowReporter {
public:
    // converter must outlive the runner.
    explicit ThreadRunner(RowConverter& converter);
    ~ThreadRunner() override;

    std::size_t SlotCount() const override { return 1; }
    std::optional<std::size_t> IdleSlot() const override;
    bool Busy() const override { return busy_; }
    bool Begin(std::size_t slot, const RowRequest& request, std::string& problem) override;
    std::vector<RowEvent> Wait(int wake, const sigset_t* open) override;
    void Cancel() override;

    // RowReporter, on the worker thread.
    void Writes(const std::string&) override {}
    void Progress(double percent, uint32_t tick) override;
    void Line(const std::string& line) override;
    void Verifying() override;
    void Pending(PendingOutput output) override;
    void Wrote() override;
    void Done(RowOutcome outcome, const RowValues& values) override;

private:
    EventQueue events_;
    bool busy_ = false;
    // Last: the thread goes first, while what it reports to still exists.
    std::unique_ptr<ConversionThread> worker_;
};
