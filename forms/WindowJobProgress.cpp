#include "forms/WindowJobProgress.h"

#include <utility>

void WindowJobProgress::RowVerifying(std::size_t slot, std::size_t row) {
    const std::lock_guard lock(mutex_);
    verifying_[slot] = row;
    verifyingChanged_ = true;
}

void WindowJobProgress::Clear() {
    figures_.Clear();
    const std::lock_guard lock(mutex_);
    verifying_.clear();
    verifyingChanged_ = false;
    drawn_.reset();
}

std::optional<WindowJobProgress::Frame> WindowJobProgress::Take() {
    std::optional<JobProgress> latest = figures_.Take();
    const std::lock_guard lock(mutex_);
    const bool verifyingChanged = std::exchange(verifyingChanged_, false);
    if (latest) {
        drawn_ = std::move(latest);
    } else if (!verifyingChanged || !drawn_) {
        return std::nullopt;
    }
    Frame frame{*drawn_, false};
    if (const std::optional<std::size_t> lead = drawn_->Lead) {
        // A slot's entry outlives its row: it counts only while the slot still runs that row.
        const auto verifying = verifying_.find(*lead);
        frame.LeadVerifying =
            verifying != verifying_.end() && drawn_->Slots.at(*lead).Row == verifying->second;
    }
    return frame;
}
