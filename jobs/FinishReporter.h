#pragma once
// Takes what finishing a pending output tells (RowConverter::Finish): its lines, and whether the
// output took its name. The rest belongs to converting, which is over by then.
#include <string>
#include <vector>

#include "engine/RowReporter.h"

class FinishReporter final : public RowReporter {
public:
    void Writes(const std::string&) override {}
    void Progress(double, uint32_t) override {}
    void Line(const std::string& line) override { lines.push_back(line); }
    void Verifying() override {}
    void Pending(PendingOutput) override {}
    void Wrote() override { wrote = true; }
    void Done(RowOutcome, const RowValues&) override {}

    std::vector<std::string> lines;
    bool wrote = false;
};
