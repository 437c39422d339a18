#pragma once
// A job's progress handed from the thread that runs the job to a display that shows it when it
// can (a window, once per frame): only the latest figures are kept, so however often they change,
// each state is drawn at most once.
#include <atomic>
#include <mutex>
#include <optional>

#include "jobs/JobObserver.h"

class ProgressMailbox final : public JobObserver {
public:
    void RowStarted(std::size_t, std::size_t) override {}
    void Progress(const JobProgress& progress) override;
    void Cancelling() override { cancelling_ = true; }

    // Empty again, for the next job.
    void Clear();
    // The latest figures, when they changed since the last call.
    std::optional<JobProgress> Take();
    bool IsCancelling() const { return cancelling_; }

private:
    std::mutex mutex_;
    std::optional<JobProgress> latest_;
    std::atomic<bool> cancelling_ = false;
};
