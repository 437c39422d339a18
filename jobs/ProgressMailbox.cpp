#include "jobs/ProgressMailbox.h"

#include <utility>

void ProgressMailbox::Progress(const JobProgress& progress) {
    const std::lock_guard lock(mutex_);
    latest_ = progress;
}

void ProgressMailbox::Clear() {
    const std::lock_guard lock(mutex_);
    latest_.reset();
    cancelling_ = false;
}

std::optional<JobProgress> ProgressMailbox::Take() {
    const std::lock_guard lock(mutex_);
    return std::exchange(latest_, std::nullopt);
}
