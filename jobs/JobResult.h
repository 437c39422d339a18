#pragma once
// How a job ended: the counts, the error lines in the order of the rows, why it stopped, and what
// each row's observer measured.
#include <cstddef>
#include <string>
#include <vector>

#include "engine/RowValues.h"

struct JobResult {
    enum class Stop {
        None,      // every row ran
        Cancelled, // the user (or a signal) cancelled it
        Failure    // a failure that ends the job (memory ran out, no worker would start)
    };
    std::size_t Converted = 0;
    std::size_t Failed = 0;
    // Rows cancelled, or never reached by a job that stopped.
    std::size_t Unfinished = 0;
    // Rows left out because the user chose to keep their existing outputs.
    std::size_t Skipped = 0;
    std::vector<std::string> Lines;
    // The lines of the rows a cancel stopped while they converted (among Lines too): what a front
    // end that tells only the cancel after one says besides.
    std::vector<std::string> NotKept;
    Stop Stopped = Stop::None;
    // One per row of the plan, in its order; empty for a row nothing measured or that never
    // reached its end.
    std::vector<RowValues> Values;
};
