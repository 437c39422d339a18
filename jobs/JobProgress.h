#pragma once
// Where a job stands, as its controller reports it: fractions of files and bytes, never pixels or
// words, which are the front end's.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct JobProgress {
    // Rows that have ended converted or failed (not cancelled), of all rows.
    std::size_t Settled = 0;
    std::size_t Rows = 0;
    // Input bytes handled, of all input bytes (at least 1): ended rows whole, running rows by
    // their share done.
    uint64_t BytesDone = 0;
    uint64_t BytesTotal = 1;
    // Per slot: the row it converts, if any, and the share of that file done (0 to 100).
    struct Slot {
        std::optional<std::size_t> Row;
        double Percent = 0;
    };
    std::vector<Slot> Slots;
    // The slot whose row started first among those running: the one a single file display shows.
    std::optional<std::size_t> Lead;
    // The estimate of the time left, once the job has run long enough to make one.
    std::optional<int32_t> SecondsLeft;
};
