#include "cli/MirrorRun.h"

#include <cstdio>

#include "cli/CliJobRun.h"
#include "cli/ConvertCommand.h"
#include "cli/MirrorLines.h"
#include "mirror/AudioDigestObserver.h"

MirrorRun::MirrorRun(MirrorPlan& plan, MirrorJournal& journal, const CliOptions& options,
                     const ConversionSettings& settings, const JobEnvironment& environment)
    : plan_(plan), pass_(plan, journal, settings), options_(options), settings_(settings),
      environment_(environment) {}

int MirrorRun::Run() {
    if (!pass_.Prepare()) {
        std::fprintf(stderr, "brindlex-convert: Unable to write to '%s'.\n",
                     plan_.Folder().c_str());
        return ExitSomeFailed;
    }
    Announce();
    pass_.CarryWithoutEncoder();
    const int signal = Encode();
    pass_.Finish();
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

int MirrorRun::Encode() {
    std::vector<std::string> replaced;
    const std::vector<PlannedRow> rows = pass_.StartEncoding(replaced);
    if (rows.empty()) {
        return 0;
    }
    JobResult result;
    // The conversions take the digests of the sources' audio on the way.
    JobEnvironment observed = environment_;
    AudioDigestObserver::Observe(observed);
    const int signal =
        RunCliJob(rows, ReplaceableOutputs(replaced, false), options_, true, settings_, observed,
                  result, [this](std::size_t row, RowOutcome outcome, const RowValues& values) {
                      pass_.RowEnded(row, outcome, values);
                  });
    pass_.JobEnded(result.Lines);
    return signal;
}

int MirrorRun::Finish(int signal) {
    const std::vector<std::string>& lines = pass_.Lines();
    if (!lines.empty() && !options_.quiet) {
        std::fprintf(stderr, "The following problems were encountered:\n");
    }
    for (const std::string& line : lines) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    if (signal && !options_.quiet) {
        std::fprintf(stderr, "Conversion was cancelled.\n");
    }
    const MirrorReport& report = pass_.Report();
    if (!options_.quiet) {
        std::printf("%s\n", MirrorCountsLine(plan_.Counts(), report.Failed()).c_str());
        std::fflush(stdout);
    }
    if (options_.report && !report.Write(*options_.report)) {
        std::fprintf(stderr, "brindlex-convert: Unable to write to '%s'.\n",
                     options_.report->c_str());
        return ExitSomeFailed;
    }
    if (signal) {
        return 128 + signal;
    }
    return report.Failed() == 0 && lines.empty() ? ExitConverted : ExitSomeFailed;
}
