#pragma once
// What a running job tells the window, handed from the job's thread to the frame that draws it:
// the latest figures, and the row each slot is verifying. A row that starts verifying changes the
// caption without new figures, so it is drawn again with the last ones.
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>

#include "jobs/JobObserver.h"
#include "jobs/ProgressMailbox.h"

class WindowJobProgress final : public JobObserver {
public:
    struct Frame {
        JobProgress Figures;
        // The lead slot's row is being verified rather than written.
        bool LeadVerifying = false;
    };

    void RowStarted(std::size_t, std::size_t) override {}
    void RowVerifying(std::size_t slot, std::size_t row) override;
    void Progress(const JobProgress& progress) override { figures_.Progress(progress); }
    void Cancelling() override { figures_.Cancelling(); }

    // Empty again, for the next job.
    void Clear();
    // What to draw, when anything changed since the last call.
    std::optional<Frame> Take();
    bool IsCancelling() const { return figures_.IsCancelling(); }

private:
    ProgressMailbox figures_;
    std::mutex mutex_;
    std::map<std::size_t, std::size_t> verifying_; // slot: its row being verified
    bool verifyingChanged_ = false;
    std::optional<JobProgress> drawn_;
};
