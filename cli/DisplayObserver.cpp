#include "cli/DisplayObserver.h"

#include "engine/ProgressFigures.h"

void DisplayObserver::RowStarted(std::size_t slot, std::size_t row) {
    display_.SetWriting(slot, "Writing '" + rows_[row].Output + "'");
    display_.SetFileBar(slot, 0);
}

void DisplayObserver::Progress(const JobProgress& progress) {
    display_.SetCounter("Converted " + std::to_string(progress.Settled) + " of " +
                        std::to_string(progress.Rows));
    for (std::size_t slot = 0; slot < progress.Slots.size(); ++slot) {
        if (progress.Slots[slot].Row) {
            display_.SetFileBar(slot, ClampBarWidth(FileBarWidth(progress.Slots[slot].Percent)));
        }
    }
    display_.SetTotalBar(ClampBarWidth(TotalBarWidth(progress.BytesDone, progress.BytesTotal)));
    if (progress.SecondsLeft) {
        display_.SetSecondsLeft(*progress.SecondsLeft);
    }
    display_.Refresh();
}

void DisplayObserver::Cancelling() {
    display_.Cancelling();
    display_.Note("Cancelling...");
}

void DisplayObserver::RowEnded(std::size_t row, RowOutcome outcome, const RowValues& values) {
    if (ended_) {
        ended_(row, outcome, values);
    }
}
