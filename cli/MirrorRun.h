#pragma once
// A mirror run from its plan to its exit code on the command line: the lines that say what each
// item takes, the run itself (MirrorPass) with the job's encoder on worker processes with -j,
// the lines of what went wrong, the counts and the report.
#include <string>

#include "catalog/ConversionSettings.h"
#include "cli/CliOptions.h"
#include "engine/JobEnvironment.h"
#include "mirror/MirrorJournal.h"
#include "mirror/MirrorPass.h"
#include "mirror/MirrorPlan.h"

class MirrorRun {
public:
    MirrorRun(MirrorPlan& plan, MirrorJournal& journal, const CliOptions& options,
              const ConversionSettings& settings, const JobEnvironment& environment);

    int Run();

private:
    void Announce() const;
    // The caught signal, or 0.
    int Encode();
    int Finish(int signal);

    MirrorPlan& plan_;
    MirrorPass pass_;
    const CliOptions& options_;
    const ConversionSettings& settings_;
    const JobEnvironment& environment_;
};
