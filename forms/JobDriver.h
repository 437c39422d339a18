#pragma once
// The options form's conversion job: the checks before it (the WMA and codec modules it needs,
// outputs that would clash, the chosen folder), the overwrite confirmation, the job itself on a
// thread of its own through JobController, its files in worker processes (one per processor core
// unless the stored "BrConvJobs" says otherwise) or, with one at a time, on one worker thread,
// cancelling it, and its end: the closing message or the errors form, and a desktop notice when
// the user was elsewhere. With "Mirror" ticked the job is a mirror run (MirrorJob): no overwrite
// confirmation (the mirror decides what it replaces), but its own of what it deletes and keeps.
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "catalog/ConversionSettings.h"
#include "choices/JobOrder.h"
#include "engine/JobEnvironment.h"
#include "engine/JobPlan.h"
#include "engine/RowConverter.h"
#include "forms/WindowJobProgress.h"
#include "jobs/ReplaceableOutputs.h"

class ConversionErrorsDialog;
class QWidget;
class JobController;
class JobRunner;
class MirrorJob;
class OverwriteDialog;
class ProgressView;
struct JobResult;

class JobDriver {
public:
    // Where the form goes once a job has ended.
    enum class Next { BackToSelector, EndProgram };

    // window: the form whose jobs these are, which owns their dialogs.
    JobDriver(QWidget& window, ProgressView& view, const JobEnvironment& environment);
    JobDriver(const JobDriver&) = delete;
    JobDriver& operator=(const JobDriver&) = delete;
    ~JobDriver();

    void Attach(OverwriteDialog& overwrite, ConversionErrorsDialog& errors);
    // Where jobs get their sources; the real factory unless replaced (tests). Once replaced, jobs
    // run in this process, one file after another, where the factory is.
    void SetSourceFactory(RowConverter::SourceFactory factory);

    // Empties the errors form and asks what must be settled before order can start: true when
    // it may.
    bool Ready(JobOrder order);
    // Whether the user answered outputs that would clash by keeping the folder tree.
    bool FolderTreeChosen() const { return order_.KeepTree; }
    // Runs the order that is ready while the window goes on, then closes it as it ended.
    Next Run();
    // The form shows its options again: the next job starts without the last one's cancel.
    void ForgetCancel() { cancelRequested_ = false; }
    // Asks the user whether to stop the running job (once: a second call while it stops does
    // nothing), and stops it on Yes.
    void AskToCancel();
    // The session is ending the program: a running job stops between two blocks, as after Back
    // and Yes, no job starts any more, and its end asks nothing and ends the program.
    void EndForQuit();

    bool Running() const { return running_; }
    bool Quitting() const { return quitting_; }
    // Whether the running job has been asked to stop.
    bool StopAsked() const { return progress_.IsCancelling(); }
    // Shows where the running job stands in the form's progress view; leadVerifying: the row
    // shown is having its output verified.
    void ShowProgress(const JobProgress& progress, bool leadVerifying = false);

private:
    void SplitWholeInputs();
    bool RefusedByFormat();
    bool RefusedForMissingModules();
    bool RefusedForSampleRate();
    bool RefusedForNaming();
    bool ClashesSettled();
    bool FolderReady();
    bool OverwritesConfirmed();
    // The order is a mirror run: ticked, into the chosen folder.
    bool Mirrors() const;
    bool MirrorReady();
    ConversionSettings SettingsOf() const;
    std::unique_ptr<JobRunner> MakeRunner(RowConverter& converter,
                                          const JobEnvironment& environment, std::size_t rows);
    using RowEndedHook =
        std::function<void(std::size_t row, RowOutcome outcome, const RowValues& values)>;
    // environment: the program's, or a mirror's that also watches each row's audio.
    JobResult RunJob(const std::vector<PlannedRow>& rows, const ReplaceableOutputs& replaceable,
                     bool makeFolders, const JobEnvironment& environment,
                     const RowEndedHook& ended = {});
    // The mirror's run; lines: what went wrong.
    JobResult RunMirror(std::vector<std::string>& lines);
    // rows: the job's rows, whose inputs its notices name.
    Next EndJob(const JobResult& result, const std::vector<std::string>& lines,
                const std::vector<PlannedRow>& rows);
    void NoticeIfUnseen(const JobResult& result);

    QWidget& window_;
    ProgressView& view_;
    const JobEnvironment& environment_;
    OverwriteDialog* overwrite_ = nullptr;
    ConversionErrorsDialog* errors_ = nullptr;
    RowConverter::SourceFactory createSource_;
    bool ownSources_ = false;

    bool running_ = false;
    bool cancelRequested_ = false;
    bool quitting_ = false;
    // The job being readied or running, as ordered.
    JobOrder order_;
    // The lines of the albums among the inputs that could not be split.
    std::vector<std::string> splitFailures_;
    // The running job's choices, read by its worker.
    ConversionSettings settings_;
    // The running job's outputs, after the renames chosen in the overwrite confirmation, and
    // whether their folders below the chosen one are made as the rows start.
    std::optional<JobPlan> plan_;
    bool keepTree_ = false;
    // The existing outputs listed before the job, as the job names them, and whether the user
    // chose to replace them or to skip their rows.
    std::set<std::string> replaceable_;
    bool skipListed_ = false;
    // The mirror run readied, and the rows its job converts.
    std::unique_ptr<MirrorJob> mirror_;
    std::vector<PlannedRow> mirrorRows_;
    // The running job's rows, for its progress.
    const std::vector<PlannedRow>* jobRows_ = nullptr;
    // The running job, and what it last reported.
    JobController* job_ = nullptr;
    WindowJobProgress progress_;
};
