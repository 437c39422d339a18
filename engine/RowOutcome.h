#pragma once
// How one row of a job ended.
enum class RowOutcome {
    Converted,
    Failed,
    // A failure that ends the whole job (memory ran out, say): no further row starts.
    FailedStoppingJob,
    Cancelled,
    // Stopped before it began.
    Unstarted
};
