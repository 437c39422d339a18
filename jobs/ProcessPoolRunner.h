#pragma once
// Runs a job's rows in worker processes (brindlex-convert --worker), one row per process at a
// time, as many at once as it has slots. A worker that crashes fails only its row, with a line
// that says how it ended; the named temporary file it was writing is removed, and the next row
// on that slot gets a fresh worker.
#include <memory>
#include <string>
#include <vector>

#include "engine/ConversionSettings.h"
#include "jobs/JobRunner.h"
#include "jobs/WorkerProcess.h"

class ProcessPoolRunner final : public JobRunner {
public:
    // program: the worker's executable; settings: the job's, sent to every worker.
    ProcessPoolRunner(std::string program, const ConversionSettings& settings, std::size_t slots);

    // Starts the workers; false, with the reason, when not even one starts.
    bool Start(std::string& problem);

    std::size_t SlotCount() const override { return slots_.size(); }
    std::optional<std::size_t> IdleSlot() const override;
    bool Busy() const override;
    bool Begin(std::size_t slot, const RowRequest& request, std::string& problem) override;
    std::vector<RowEvent> Wait(int wake, const sigset_t* open) override;
    void Cancel() override;

private:
    struct Slot {
        std::unique_ptr<WorkerProcess> process;
        bool busy = false;
        std::string input;
        std::string writes; // the file its worker would leave behind for the row
    };

    bool StartWorker(Slot& slot, std::string& problem);
    void ReadReports(std::size_t slot, std::vector<RowEvent>& events);
    void Handle(std::size_t slot, const WorkerChannel::Message& message,
                std::vector<RowEvent>& events);
    void WorkerEnded(std::size_t slot, std::vector<RowEvent>& events);

    std::string program_;
    std::vector<std::string> settingsMessage_;
    std::vector<Slot> slots_;
};
