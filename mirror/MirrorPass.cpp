#include "mirror/MirrorPass.h"

MirrorPass::MirrorPass(MirrorPlan& plan, MirrorJournal& journal, const ConversionSettings& settings)
    : plan_(plan), writer_(plan, journal, settings), report_(plan) {}

bool MirrorPass::Prepare() {
    return writer_.Prepare();
}

void MirrorPass::CarryWithoutEncoder() {
    for (std::size_t index = 0; index < plan_.Items().size(); ++index) {
        MirrorItem& item = plan_.Items()[index];
        if (!MirrorWriter::Writes(item) || MirrorWriter::Encodes(item)) {
            continue;
        }
        const auto start = std::chrono::steady_clock::now();
        std::string line;
        const bool done = writer_.Carry(item, line);
        report_.Ended(index, done, line, start);
        if (!done) {
            lines_.push_back(line);
        }
    }
}

std::vector<PlannedRow> MirrorPass::StartEncoding(std::vector<std::string>& replaced) {
    std::vector<PlannedRow> rows;
    encoded_.clear();
    for (std::size_t index = 0; index < plan_.Items().size(); ++index) {
        const MirrorItem& item = plan_.Items()[index];
        if (!MirrorWriter::Encodes(item)) {
            continue;
        }
        PlannedRow row;
        row.Input = item.SourcePath();
        row.Output = plan_.Folder() + "/" + item.output;
        row.OutputExists = FileState::Of(row.Output).exists;
        if (row.OutputExists) {
            replaced.push_back(row.Output);
        }
        rows.push_back(std::move(row));
        encoded_.push_back(index);
    }
    jobStart_ = std::chrono::steady_clock::now();
    return rows;
}

// Each row is finished in the journal as soon as its output is in place: a run killed later does
// not make it again.
void MirrorPass::RowEnded(std::size_t row, RowOutcome outcome, const RowValues& values) {
    std::string line;
    const std::size_t item = encoded_[row];
    const bool done =
        outcome == RowOutcome::Converted && writer_.Encoded(plan_.Items()[item], values, line);
    if (!line.empty()) {
        lines_.push_back(line);
    }
    report_.Ended(item, done, line, jobStart_);
}

void MirrorPass::JobEnded(const std::vector<std::string>& jobLines) {
    lines_.insert(lines_.end(), jobLines.begin(), jobLines.end());
    for (const std::size_t item : encoded_) {
        report_.Explain(item, jobLines);
    }
    report_.CloseUnfinished();
}

void MirrorPass::Finish() {
    if (!writer_.Flush()) {
        lines_.push_back("Unable to write to '" + plan_.Folder() + "'.");
    }
    writer_.RemoveEmptiedFolders();
}
