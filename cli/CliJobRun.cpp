#include "cli/CliJobRun.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "cli/JobDisplay.h"
#include "engine/OpenAudioSource.h"
#include "engine/RowConverter.h"
#include "jobs/JobController.h"
#include "jobs/ProcessPoolRunner.h"
#include "jobs/StopSignals.h"
#include "jobs/ThreadRunner.h"

namespace {
void Say(const std::string& line) {
    std::fprintf(stderr, "brindlex-convert: %s\n", line.c_str());
}

bool IsTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) == 1;
}

// The runner of a job: worker processes when several files go at once and they start, else this
// process, one file after another.
std::unique_ptr<JobRunner> MakeRunner(std::size_t jobs, const ConversionSettings& settings,
                                      const JobEnvironment& environment, RowConverter& converter,
                                      bool quiet) {
    if (jobs > 1) {
        auto pool = std::make_unique<ProcessPoolRunner>(environment.WorkerProgram, settings, jobs,
                                                        environment.ObserversName);
        std::string problem;
        if (pool->Start(problem)) {
            return pool;
        }
        if (!quiet) {
            Say("no worker process could be started (" + problem +
                "); converting one file after another");
        }
    }
    return std::make_unique<ThreadRunner>(converter);
}

} // namespace

int RunCliJob(const std::vector<PlannedRow>& rows, const ReplaceableOutputs& replaceable,
              const CliOptions& options, bool makeFolders, const ConversionSettings& settings,
              const JobEnvironment& environment, JobResult& result,
              DisplayObserver::RowEndedHook ended) {
    const std::size_t jobs = std::min(options.jobs.value_or(DefaultJobs()), rows.size());
    // The stop signals are taken only while waiting for the rows, so none is missed between a
    // look at the flag and the wait; the worker thread starts with them blocked.
    const sigset_t stops = StopSignalSet();
    sigset_t open;
    pthread_sigmask(SIG_BLOCK, &stops, &open);
    CatchStopSignals(true, true);
    RowConverter converter(settings, environment, OpenAudioSource);
    const std::unique_ptr<JobRunner> runner =
        MakeRunner(jobs, settings, environment, converter, options.quiet);
    JobDisplay display({IsTerminal(stderr), options.quiet}, stderr, runner->SlotCount());
    DisplayObserver observer(rows, display, std::move(ended));
    JobController controller(rows, replaceable, makeFolders);
    controller.FinishPendingWith(converter);
    result = controller.Run(*runner, observer, {&open, [] { return CaughtStopSignal() != 0; }});
    display.Finish();
    // A stop signal that came with the last report is taken now, before the count.
    pthread_sigmask(SIG_SETMASK, &open, nullptr);
    return CaughtStopSignal();
}
