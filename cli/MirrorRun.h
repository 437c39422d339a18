#pragma once
// A mirror run from its plan to its exit code: the journal's pending rows, the items done here
// (deleted, moved, copied, retagged), the items the job's encoder makes (on worker processes
// with -j), each row finished as the run learns its end, the emptied folders, and the lines.
#include <string>
#include <vector>

#include "catalog/ConversionSettings.h"
#include "cli/CliOptions.h"
#include "cli/MirrorReport.h"
#include "engine/JobEnvironment.h"
#include "mirror/MirrorJournal.h"
#include "mirror/MirrorPlan.h"
#include "mirror/MirrorWriter.h"

class MirrorRun {
public:
    MirrorRun(MirrorPlan& plan, MirrorJournal& journal, const CliOptions& options,
              const ConversionSettings& settings, const JobEnvironment& environment);

    int Run();

private:
    void Announce() const;
    void CarryWithoutEncoder();
    // The caught signal, or 0.
    int Encode();
    int Finish(int signal);

    MirrorPlan& plan_;
    MirrorWriter writer_;
    const CliOptions& options_;
    const ConversionSettings& settings_;
    const JobEnvironment& environment_;
    MirrorReport report_;
    std::vector<std::string> lines_;
};
