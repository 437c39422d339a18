#pragma once
// What a row's conversion tells whoever runs it, on the converting thread, in this order: the
// file a crash would leave behind, progress, error lines, the check of its output, the output
// itself when it waits for its album, that the output now holds the row's result, and last how
// the row ended, with the values its observer measured.
#include <cstdint>
#include <string>

#include "engine/PendingOutput.h"
#include "engine/RowOutcome.h"
#include "engine/RowValues.h"

class RowReporter {
public:
    virtual ~RowReporter() = default;
    // The named temporary file beside the output, or "" when the new version has no name.
    virtual void Writes(const std::string& leftBehind) = 0;
    // The share of the file done, 0 to 100, at most every half second and once at its start;
    // tick: when it was so, on the converter's clock.
    virtual void Progress(double percent, uint32_t tick) = 0;
    virtual void Line(const std::string& line) = 0;
    // The output, whole, is being checked before it takes its name.
    virtual void Verifying() = 0;
    // The output, whole, waits unnamed for its album: whoever runs the job finishes it
    // (RowConverter::Finish) once the album is measured, or drops it, and nothing appears.
    virtual void Pending(PendingOutput output) = 0;
    virtual void Wrote() = 0;
    // values: empty when nothing observed the row (or the row never reached its output).
    virtual void Done(RowOutcome outcome, const RowValues& values) = 0;
};
