#pragma once
// A job's observer that hands everything to another and also tells a hook of each row's end, on
// the thread that runs the job: how a mirror finishes each row in its journal as soon as its
// output is in place, while the progress goes to the window as for any job.
#include <functional>

#include "jobs/JobObserver.h"

class RowEndsRelay final : public JobObserver {
public:
    using Hook = std::function<void(std::size_t row, RowOutcome outcome, const RowValues& values)>;
    RowEndsRelay(JobObserver& inner, Hook ended) : inner_(inner), ended_(std::move(ended)) {}

    void RowStarted(std::size_t slot, std::size_t row) override { inner_.RowStarted(slot, row); }
    void RowVerifying(std::size_t slot, std::size_t row) override {
        inner_.RowVerifying(slot, row);
    }
    void Progress(const JobProgress& progress) override { inner_.Progress(progress); }
    void Cancelling() override { inner_.Cancelling(); }
    void RowEnded(std::size_t row, RowOutcome outcome, const RowValues& values) override {
        inner_.RowEnded(row, outcome, values);
        if (ended_) {
            ended_(row, outcome, values);
        }
    }

private:
    JobObserver& inner_;
    Hook ended_;
};
