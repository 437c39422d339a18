#include "cli/CliHost.h"

#include "cli/OutputFolder.h"

CliHost::CliHost(std::vector<PlannedRow> rows, Display display, std::FILE* out)
    : rows_(std::move(rows)), makeFolders_(display.makeFolders),
      display_({display.interactive, display.quiet}, out) {}

void CliHost::SelectRow(uint32_t row) {
    if (makeFolders_) {
        if (const std::string line = PrepareFolderOf(rows_.at(row).Output); !line.empty()) {
            AddErrorLine(line);
        }
    }
}

void CliHost::AddErrorLine(const std::string& line) {
    errors_.push_back(line);
}

void CliHost::RowDone(uint32_t, RowOutcome outcome) {
    if (outcome == RowOutcome::Converted) {
        ++counts_.converted;
    } else if (outcome == RowOutcome::Failed) {
        ++counts_.failed;
    }
}

CliHost::Counts CliHost::Count() const {
    Counts counts = counts_;
    counts.unfinished = rows_.size() - counts.converted - counts.failed;
    return counts;
}

bool CliHost::MayReplace(const std::string& outputPath) const {
    return replaceable_.Contains(outputPath);
}
