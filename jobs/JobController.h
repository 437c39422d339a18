#pragma once
// One conversion job from its plan to its result, whichever runner converts the rows and
// whichever front end shows it: rows start in the order of the list, as many at once as the
// runner has slots; an output that an earlier row wrote is never written again; two rows that may
// name one file never run at once; the error lines come in the order of the rows; a failure that
// ends the job stops it; the progress is counted in files and bytes.
#include <atomic>
#include <csignal>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/JobPlan.h"
#include "engine/OutputClaims.h"
#include "engine/RowConverter.h"
#include "jobs/JobObserver.h"
#include "jobs/JobResult.h"
#include "jobs/JobRunner.h"
#include "jobs/ReplaceableOutputs.h"
#include "system/UniqueFd.h"

class JobController {
public:
    // How a front end that takes signals waits: open is the set unblocked while waiting, and
    // stopRequested is asked after each wait (a caught Ctrl-C); both may be left empty.
    struct Signals {
        const sigset_t* open;
        std::function<bool()> stopRequested;
    };

    // replaceable: the outputs a row may replace, or whose rows are skipped. makeFolders: each
    // output's folder is made as its row starts (a kept folder tree). ticks: the clock of the time
    // estimate.
    JobController(std::vector<PlannedRow> rows, ReplaceableOutputs replaceable, bool makeFolders,
                  RowConverter::TickSource ticks = RowConverter::SystemTicks);

    // Finishes the outputs a job with album gains holds back until each album is measured; a job
    // whose rows may hold theirs back needs one.
    void FinishPendingWith(const RowConverter& converter) { finisher_ = &converter; }
    // Converts every row on runner, telling observer as it goes, on this thread.
    JobResult Run(JobRunner& runner, JobObserver& observer, const Signals& stops = {nullptr, {}});
    // From any thread: every running row stops between two blocks and no row starts any more.
    void Cancel();

private:
    // AwaitingAlbum: converted, its output held back unnamed until its album is measured.
    enum class Stage { Waiting, Running, AwaitingAlbum, Converted, Failed, Cancelled, Skipped };
    struct Row {
        PlannedRow plan;
        uint64_t size = 0;
        Stage stage = Stage::Waiting;
        std::optional<std::size_t> slot;
        double percent = 0;
        std::vector<std::string> lines;
        RowValues values;
        bool cut = false; // cancelled after it began: its output was dropped
        std::shared_ptr<PendingOutput> pending;
    };

    void Dispatch(JobRunner& runner, JobObserver& observer);
    bool MustWait(std::size_t row) const;
    void StartRow(JobRunner& runner, JobObserver& observer, std::size_t slot, std::size_t row);
    void Settle(std::size_t row, Stage stage);
    void Handle(const RowEvent& event);
    std::optional<std::size_t> RowOn(std::size_t slot) const;
    RowRequest RequestOf(const Row& row) const;
    // Finishes the held outputs of every folder none of whose rows is still to convert (all:
    // whatever is left to convert, which never will be); each folder's rows that share an album
    // tag are one album.
    void FinishAlbums(JobObserver& observer, bool all);
    void FinishFolder(JobObserver& observer, const std::vector<std::size_t>& folder);
    void FinishAlbum(JobObserver& observer, const std::vector<std::size_t>& album);
    void FinishRow(JobObserver& observer, std::size_t index, const RowValues& album);
    // At a cancel: held outputs go, as a converting row's would.
    void DropPending(JobObserver& observer);
    // The figures as they stand; now, on the job's clock, when a file's progress was read then and
    // the time estimate may be made afresh.
    JobProgress Progress(std::size_t slots, std::optional<uint32_t> now);
    JobResult Result() const;

    std::vector<Row> rows_;
    // The rows of each input folder, in order.
    std::map<std::string, std::vector<std::size_t>> folders_;
    const RowConverter* finisher_ = nullptr;
    ReplaceableOutputs replaceable_;
    bool makeFolders_;
    RowConverter::TickSource ticks_;
    UniqueFd wake_;
    std::atomic<bool> cancelRequested_ = false;

    std::size_t next_ = 0;
    std::size_t settled_ = 0;
    std::size_t awaiting_ = 0; // rows held back for their albums
    uint64_t totalBytes_ = 1;
    uint64_t bytesDone_ = 0;
    uint32_t start_ = 0;
    uint32_t lastEstimate_ = 0;
    std::optional<int32_t> secondsLeft_;
    OutputClaims written_;
    bool cancelling_ = false;
    bool stopped_ = false; // a failure ended the job: no further rows start
};
