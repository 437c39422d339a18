#pragma once
// The outputs a job may replace: those the user agreed to replace when they were listed before
// the job, or any at all. A file found at any other output appeared later and is kept. The user
// may instead have chosen to skip the listed ones: their rows are left out and the files stay as
// they are.
#include <set>
#include <string>
#include <vector>

class ReplaceableOutputs {
public:
    // What the job does with the outputs listed before it.
    enum class Listed { Replaced, Skipped };

    ReplaceableOutputs() = default; // none
    ReplaceableOutputs(const std::vector<std::string>& listed, bool any,
                       Listed listedAre = Listed::Replaced);

    bool Contains(const std::string& outputPath) const;
    // The row of this output is not converted.
    bool Skips(const std::string& outputPath) const;

private:
    std::set<std::string> listed_;
    bool any_ = false;
    Listed listedAre_ = Listed::Replaced;
};
