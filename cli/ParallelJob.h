#pragma once
// A command-line job that converts several files at once, each in a worker process of this
// program (WorkerProcess), fed one file at a time in the order of the conversion list. The job
// itself stays here: which file goes next, the outputs already written, the error lines in the
// order of the list, the counts and the display. A worker that crashes fails only its file; the
// next file gets a fresh worker.
#include <chrono>
#include <csignal>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliHost.h"
#include "cli/JobDisplay.h"
#include "cli/ReplaceableOutputs.h"
#include "cli/WorkerProcess.h"
#include "engine/ConversionSettings.h"
#include "engine/JobPlan.h"
#include "engine/OutputClaims.h"

class ParallelJob {
public:
    // replaceable: the outputs a worker may replace. workers: how many files at once.
    // makeFolders: each output's folder is made as it starts (a kept folder tree).
    ParallelJob(std::vector<PlannedRow> rows, const ConversionSettings& settings,
                ReplaceableOutputs replaceable, std::size_t workers, bool makeFolders,
                JobDisplay& display);

    // Starts the worker processes; false, with the reason, when not even one starts.
    bool Start(std::string& problem);
    // Converts every row; Ctrl-C or SIGTERM cancels every file being converted. The caught
    // signal, or 0.
    int Run();

    // The error lines, in the order of the rows.
    std::vector<std::string> Errors() const;
    CliHost::Counts Count() const;

private:
    enum class Stage { Waiting, Running, Converted, Failed, Cancelled };
    struct Row {
        PlannedRow plan;
        uint64_t size = 0;
        Stage stage = Stage::Waiting;
        std::vector<std::string> lines;
    };
    struct Slot {
        std::unique_ptr<WorkerProcess> process;
        std::optional<std::size_t> row;
        std::string writes; // the file its worker reported writing for the row
        uint64_t fileDone = 0;
    };

    bool StartWorker(Slot& slot, std::string& problem);
    void Dispatch();
    bool MustWait(std::size_t row) const;
    void StartRow(std::size_t slot, std::size_t row);
    void Settle(std::size_t row, Stage stage);
    void WaitForWorkers(const sigset_t& open);
    void Cancel();
    void ReadReports(std::size_t slot);
    void Handle(std::size_t slot, const WorkerChannel::Message& message);
    void WorkerEnded(Slot& slot);
    void ShowTotal();
    bool AnyBusy() const;

    std::vector<Row> rows_;
    std::vector<std::string> settingsMessage_;
    std::vector<Slot> slots_;
    ReplaceableOutputs replaceable_;
    bool makeFolders_;
    JobDisplay& display_;
    std::string program_;

    std::size_t next_ = 0;
    std::size_t settled_ = 0;
    uint64_t totalBytes_ = 1;
    uint64_t bytesDone_ = 0;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastEstimate_;
    OutputClaims written_;
    bool cancelling_ = false;
    bool stopped_ = false; // a failure ended the job: no further rows start
};
