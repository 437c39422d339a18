#pragma once
// What a runner reports of the row it converts on one of its slots.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "engine/PendingOutput.h"
#include "engine/RowOutcome.h"
#include "engine/RowValues.h"

struct RowEvent {
    enum class Kind {
        Progress,  // percent of the file done
        Line,      // an error line of the row
        Verifying, // the output is being checked
        Pending,   // the output waits, unnamed, for its album
        Wrote,     // the output now holds the row's result
        Done       // the row ended, with outcome and values; the slot is free again
    };
    std::size_t Slot = 0;
    Kind What = Kind::Progress;
    double Percent = 0;
    std::string Text;
    RowOutcome Outcome = RowOutcome::Failed;
    // What the row's observer measured, the same whether the row was converted here or in a
    // worker process.
    RowValues Values;
    // For progress: when it was so, on the job's clock; none when it came from another process,
    // and is then taken as just now.
    std::optional<uint32_t> Tick;
    // For Pending.
    std::shared_ptr<PendingOutput> Output;

    static RowEvent Progressed(std::size_t slot, double percent,
                               std::optional<uint32_t> tick = std::nullopt) {
        RowEvent event = Of(slot, Kind::Progress);
        event.Percent = percent;
        event.Tick = tick;
        return event;
    }
    static RowEvent LineOf(std::size_t slot, std::string text) {
        RowEvent event = Of(slot, Kind::Line);
        event.Text = std::move(text);
        return event;
    }
    static RowEvent Checking(std::size_t slot) { return Of(slot, Kind::Verifying); }
    static RowEvent Waiting(std::size_t slot, PendingOutput output) {
        RowEvent event = Of(slot, Kind::Pending);
        event.Output = std::make_shared<PendingOutput>(std::move(output));
        return event;
    }
    static RowEvent Written(std::size_t slot) { return Of(slot, Kind::Wrote); }
    static RowEvent Ended(std::size_t slot, RowOutcome outcome, RowValues values = {}) {
        RowEvent event = Of(slot, Kind::Done);
        event.Outcome = outcome;
        event.Values = std::move(values);
        return event;
    }

private:
    static RowEvent Of(std::size_t slot, Kind what) {
        RowEvent event;
        event.Slot = slot;
        event.What = what;
        return event;
    }
};
