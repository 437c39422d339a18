#pragma once
// What became of each item of a mirror run: counted for the end of the run, and written by --report
// as JSON, one object per source (source, output, action, result, message, seconds) and the
// totals, for scripts.
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "mirror/MirrorPlan.h"

class MirrorReport {
public:
    explicit MirrorReport(const MirrorPlan& plan);

    // The item's action ended, done or not (with the line that says why), begun at start.
    void Ended(std::size_t item, bool done, const std::string& message,
               std::chrono::steady_clock::time_point start);
    // A failed item without a message takes the first of the job's lines that names its source.
    void Explain(std::size_t item, const std::vector<std::string>& lines);
    // Items that write and never ended (the job stopped first) count as failed.
    void CloseUnfinished();
    std::size_t Failed() const;
    // How many items taking action were done.
    std::size_t Done(MirrorAction action) const;
    bool Write(const std::string& path) const;

private:
    enum class Result { Untouched, Pending, Done, Failed };
    struct Entry {
        Result result = Result::Untouched;
        std::string message;
        double seconds = 0;
    };

    const MirrorPlan& plan_;
    std::vector<Entry> entries_;
};
