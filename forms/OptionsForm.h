#pragma once
// The options form: the user picks the target format, its options and where the outputs go, then
// converts the files of its conversion list. During the job the same window shows the progress;
// the job runs on a thread of its own, its files in worker processes (one per processor core
// unless the stored "BrConvJobs" says otherwise) or, with one at a time, on one worker thread. The
// form keeps the user's choices and the WAVE output format between runs: loaded when it is created,
// saved when it is destroyed.
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "choices/PlannedJob.h"
#include "engine/ConverterChoices.h"
#include "engine/JobEnvironment.h"
#include "engine/JobPlan.h"
#include "engine/RowConverter.h"
#include "engine/WaveOutputFormatFile.h"
#include "jobs/JobController.h"
#include "jobs/ProgressMailbox.h"
#include "selector/ConvertRow.h"

namespace Ui {
class OptionsForm;
}
class QButtonGroup;
class QLabel;
class PathLabel;
class FileListWindow;
class ConversionErrorsDialog;
class OverwriteDialog;

class OptionsForm : public QWidget {
    Q_OBJECT
public:
    // environment: the process's codec modules and reads, for every job of this form.
    explicit OptionsForm(const JobEnvironment& environment, QWidget* parent = nullptr);
    ~OptionsForm() override;

    // The forms created after this one, used by the job and the "List Files to Convert" button.
    void Attach(OverwriteDialog& overwrite, ConversionErrorsDialog& errors,
                FileListWindow& fileList);

    // The conversion list, filled by the file selector before it shows this form.
    void ClearConvertList();
    void AddConvertRow(const ConvertRow& row);

    // Leaving for the file selector: this form hides, then the hook runs (it shows the selector).
    std::function<void()> OnBackToSelector;
    // The job converted every file: the program ends. Defaults to quitting the application.
    std::function<void()> OnEndProgram;

    // Where jobs get their sources; the real factory unless replaced (tests). Once replaced, jobs
    // run in this process, one file after another, where the factory is.
    void SetSourceFactory(RowConverter::SourceFactory factory);
    // Whether the running job has been asked to stop.
    bool JobStopAsked() const;
    // The session is ending the program: a running job stops between two blocks, as after Back
    // and Yes, no job starts any more, and the ending asks nothing and ends the program.
    void EndForQuit();

    // The choices as the controls show them.
    ConverterChoices Choices() const;
    // The WAVE output format as the chooser left it.
    const WaveOutputFormatBuffer& WaveOutputFormat() const { return waveFormat_; }
    uint8_t TargetFormat() const;
    // Where the outputs go, as the destination controls and format buttons say.
    DestinationSettings Destination() const;

    // Shows where the running job stands: the counter, the output being written and its row,
    // both bars, the title's percentage and the time remaining.
    void ShowProgress(const JobProgress& progress);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private slots:
    void cmdConvertClick();
    void cmdCancelClick();
    void cmdBrowseClick();
    void optToDefPathClick();
    void chkToThisFoldClick();
    void cmdShowFilesClick();
    void cmdChangeWaveCompClick();

private:
    void FormShow();
    void ShowProgressView();
    void ShowOptionsView();
    void UpdateDestControls();
    void UpdateFormatPanel();
    void ShowWaveFormat();
    void BackToSelector();

    void SetUpControls();
    void ShowChoices(const ConverterChoices& choices);
    void FixWindowSize();
    void ColourHeadings();
    std::vector<std::string> InputPaths() const;
    bool RefusedForWma();
    bool RefusedForMissingModules();
    PlannedJob Planned() const;
    bool ClashesSettled();
    bool FolderReady();
    bool OverwritesConfirmed();
    void AskToCancel();
    uint32_t RowCount() const;
    std::string InputPath(uint32_t row) const;
    void SelectRow(std::size_t row);
    void SetBarWidths(int32_t file, int32_t total);
    std::unique_ptr<JobRunner> MakeRunner(RowConverter& converter);
    JobResult RunJob();
    void EndJob(const JobResult& result);
    void NoticeIfUnseen(const JobResult& result);
    void KeepColumnWidths();
    void SetBarWidth(QWidget* bar, int32_t width);

    // The form's numbered labels, by what they show.
    QLabel* FormatHeading() const;      // Label12: "Convert To Audio Format:"
    QLabel* FormatDescription() const;  // Label11: the chosen format in words
    QLabel* BitRateCaption() const;     // Label9
    QLabel* FrequencyCaption() const;   // Label10
    QLabel* QualityCaption() const;     // Label1
    QLabel* WaveFormatName() const;     // Label14: the WAVE output format's name
    QLabel* WaveFormatDetails() const;  // Label15: its rate, bits and channels
    QLabel* DestinationHeading() const; // Label2: "Save Converted File(s)"
    QLabel* TimeRemainingLabel() const; // Label13
    QLabel* CounterLabel() const;       // Label4: "Converted N of M"
    PathLabel* WritingLabel() const;    // Label7: the output being written

    std::unique_ptr<Ui::OptionsForm> ui;
    QButtonGroup* formatGroup_ = nullptr;
    OverwriteDialog* overwrite_ = nullptr;
    ConversionErrorsDialog* errors_ = nullptr;
    FileListWindow* fileList_ = nullptr;

    bool LeavingForm = false;
    bool CancelRequested = false;
    bool quitting_ = false;
    bool jobRunning_ = false;
    bool centred_ = false;
    // The stored "BrConvJobs", kept as it was: the form has no control for it.
    uint32_t jobs_ = 0;
    const JobEnvironment& environment_;
    RowConverter::SourceFactory createSource_;
    bool ownSources_ = false;
    // The WAVE output format, as the chooser leaves it and WaveCompress.bin keeps it.
    WaveOutputFormatBuffer waveFormat_{};
    // The running job's choices, read by its worker.
    ConversionSettings jobSettings_;
    // The running job's outputs, after the renames chosen in the overwrite confirmation, and
    // whether their folders below the chosen one are made as the rows start.
    std::optional<JobPlan> plan_;
    bool keepTree_ = false;
    // The existing outputs the user agreed to replace, as the job names them.
    std::set<std::string> replaceable_;
    // The running job, and what it last reported.
    JobController* job_ = nullptr;
    ProgressMailbox progress_;
};
