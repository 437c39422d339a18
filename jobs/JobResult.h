#pragma once
// How a job ended: the counts, the error lines in the order of the rows, and why it stopped.
#include <cstddef>
#include <string>
#include <vector>

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
    std::vector<std::string> Lines;
    Stop Stopped = Stop::None;
};
