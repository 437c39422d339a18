#pragma once
// Runs a job's rows in worker processes (brindlex-convert --worker), as many at once as it has
// slots. A slot's worker may hold a second row behind the one it converts, so that it goes on to
// it without waiting for us. A worker that crashes fails only the row it was converting, with a
// line that says how it ended; the named temporary file it was writing is removed, and the rows
// behind it go to a fresh worker.
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "catalog/ConversionSettings.h"
#include "jobs/JobRunner.h"
#include "jobs/WorkerProcess.h"

class ProcessPoolRunner final : public JobRunner {
public:
    // Rows a worker holds at most: the one it converts and the next.
    static constexpr std::size_t RowsPerWorker = 2;

    // program: the worker's executable; settings: the job's, sent to every worker, with the
    // name of the observers of its rows when they are observed.
    ProcessPoolRunner(std::string program, const ConversionSettings& settings, std::size_t slots,
                      std::string observers = {});

    // Starts the workers; false, with the reason, when not even one starts.
    bool Start(std::string& problem);

    std::size_t SlotCount() const override { return slots_.size(); }
    // An idle slot first; else one whose worker has room for a row behind its current one.
    std::optional<std::size_t> IdleSlot() const override;
    bool Busy() const override;
    bool Begin(std::size_t slot, const RowRequest& request, std::string& problem) override;
    std::vector<RowEvent> Wait(int wake, const sigset_t* open) override;
    void Cancel() override;

private:
    struct Held {
        RowRequest request;
        std::string writes; // the file its worker would leave behind for the row
    };
    struct Slot {
        std::unique_ptr<WorkerProcess> process;
        std::deque<Held> rows; // the first is being converted
    };

    bool StartWorker(Slot& slot, std::string& problem);
    bool Send(Slot& slot, const RowRequest& request);
    void ReadReports(std::size_t slot, std::vector<RowEvent>& events);
    void Handle(std::size_t slot, const WorkerChannel::Message& message,
                std::vector<RowEvent>& events);
    void RowEnded(std::size_t slot, RowOutcome outcome, RowValues values,
                  std::vector<RowEvent>& events);
    void WorkerEnded(std::size_t slot, std::vector<RowEvent>& events);
    void HandOnHeldRows(std::size_t slot, std::vector<RowEvent>& events);

    std::string program_;
    std::vector<std::string> settingsMessage_;
    std::string observers_;
    std::vector<Slot> slots_;
    bool cancelling_ = false;
};
