#pragma once
// Running a planned job from the command line: on worker processes when several files go at
// once, its progress on standard error, Ctrl-C and SIGTERM cancelling it.
#include <vector>

#include "catalog/ConversionSettings.h"
#include "cli/CliOptions.h"
#include "cli/DisplayObserver.h"
#include "engine/JobEnvironment.h"
#include "engine/JobPlan.h"
#include "jobs/JobResult.h"
#include "jobs/ReplaceableOutputs.h"

// The caught signal, or 0, with the result; ended is told of each row's end as it comes.
int RunCliJob(const std::vector<PlannedRow>& rows, const ReplaceableOutputs& replaceable,
              const CliOptions& options, bool makeFolders, const ConversionSettings& settings,
              const JobEnvironment& environment, JobResult& result,
              DisplayObserver::RowEndedHook ended = {});
