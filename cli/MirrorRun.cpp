#include "cli/MirrorRun.h"

#include <chrono>
#include <cstdio>

#include "cli/CliJobRun.h"
#include "cli/ConvertCommand.h"
#include "cli/MirrorLines.h"
#include "mirror/AudioDigestObserver.h"

namespace {
// The job's rows: the items an encoder makes (items: their places in the plan), with the outputs
// they replace.
std::vector<PlannedRow> EncodedRows(const MirrorPlan& plan, std::vector<std::size_t>& items,
                                    std::vector<std::string>& replaced) {
    std::vector<PlannedRow> rows;
    for (std::size_t index = 0; index < plan.Items().size(); ++index) {
        const MirrorItem& item = plan.Items()[index];
        if (!MirrorWriter::Encodes(item)) {
            continue;
        }
        PlannedRow row;
        row.Input = item.SourcePath();
        row.Output = plan.Folder() + "/" + item.output;
        row.OutputExists = FileState::Of(row.Output).exists;
        if (row.OutputExists) {
            replaced.push_back(row.Output);
        }
        rows.push_back(std::move(row));
        items.push_back(index);
    }
    return rows;
}
} // namespace

MirrorRun::MirrorRun(MirrorPlan& plan, MirrorJournal& journal, const CliOptions& options,
                     const ConversionSettings& settings, const JobEnvironment& environment)
    : plan_(plan), writer_(plan, journal, settings), options_(options), settings_(settings),
      environment_(environment), report_(plan) {}

int MirrorRun::Run() {
    if (!writer_.Prepare()) {
        std::fprintf(stderr, "brindlex-convert: Unable to write to '%s'.\n",
                     plan_.Folder().c_str());
        return ExitSomeFailed;
    }
    Announce();
    CarryWithoutEncoder();
    const int signal = Encode();
    if (!writer_.Flush()) {
        lines_.push_back("Unable to write to '" + plan_.Folder() + "'.");
    }
    writer_.RemoveEmptiedFolders();
    return Finish(signal);
}

void MirrorRun::Announce() const {
    if (options_.quiet) {
        return;
    }
    for (const MirrorItem& item : plan_.Items()) {
        // A skip is said only with what was noticed on the way (a time in the future).
        if (item.Action() != MirrorAction::Skip || !item.verdict.reason.empty()) {
            std::printf("%s\n", MirrorItemLine(plan_, item, '\t').c_str());
        }
    }
    std::fflush(stdout);
}

void MirrorRun::CarryWithoutEncoder() {
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

int MirrorRun::Encode() {
    std::vector<std::size_t> items;
    std::vector<std::string> replaced;
    const std::vector<PlannedRow> rows = EncodedRows(plan_, items, replaced);
    if (rows.empty()) {
        return 0;
    }
    const auto start = std::chrono::steady_clock::now();
    JobResult result;
    // Each row is finished in the journal as soon as its output is in place: a run killed later
    // does not make it again.
    const auto ended = [&](std::size_t row, RowOutcome outcome, const RowValues& values) {
        std::string line;
        const bool done = outcome == RowOutcome::Converted &&
                          writer_.Encoded(plan_.Items()[items[row]], values, line);
        if (!line.empty()) {
            lines_.push_back(line);
        }
        report_.Ended(items[row], done, line, start);
    };
    // The conversions take the digests of the sources' audio on the way.
    JobEnvironment observed = environment_;
    AudioDigestObserver::Observe(observed);
    const int signal = RunCliJob(rows, ReplaceableOutputs(replaced, false), options_, true,
                                 settings_, observed, result, ended);
    lines_.insert(lines_.end(), result.Lines.begin(), result.Lines.end());
    for (const std::size_t item : items) {
        report_.Explain(item, result.Lines);
    }
    report_.CloseUnfinished();
    return signal;
}

int MirrorRun::Finish(int signal) {
    if (!lines_.empty() && !options_.quiet) {
        std::fprintf(stderr, "The following problems were encountered:\n");
    }
    for (const std::string& line : lines_) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    if (signal && !options_.quiet) {
        std::fprintf(stderr, "Conversion was cancelled.\n");
    }
    if (!options_.quiet) {
        std::printf("%s\n", MirrorCountsLine(plan_.Counts(), report_.Failed()).c_str());
        std::fflush(stdout);
    }
    if (options_.report && !report_.Write(*options_.report)) {
        std::fprintf(stderr, "brindlex-convert: Unable to write to '%s'.\n",
                     options_.report->c_str());
        return ExitSomeFailed;
    }
    if (signal) {
        return 128 + signal;
    }
    return report_.Failed() == 0 && lines_.empty() ? ExitConverted : ExitSomeFailed;
}
