#pragma once
// The outputs a job may replace: those the user agreed to replace when they were listed before
// the job, or any at all. A file found at any other output appeared later and is kept.
#include <set>
#include <string>
#include <vector>

class ReplaceableOutputs {
public:
    ReplaceableOutputs() = default; // none
    ReplaceableOutputs(const std::vector<std::string>& listed, bool any);

    bool Contains(const std::string& outputPath) const;

private:
    std::set<std::string> listed_;
    bool any_ = false;
};
