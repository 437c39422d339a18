#pragma once
// The options form: the user picks the target format, its options and where the outputs go, then
// converts the files of its conversion list. During the job the same window shows its progress
// view (ProgressView) and the job runs through its driver (JobDriver). The form keeps the user's
// choices and the WAVE output format between runs: loaded when it is created, saved when it is
// destroyed.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "choices/JobOrder.h"
#include "choices/PlannedJob.h"
#include "engine/ConverterChoices.h"
#include "engine/DestinationSettings.h"
#include "engine/JobEnvironment.h"
#include "engine/WaveOutputFormatFile.h"
#include "selector/ConvertRow.h"

namespace Ui {
class OptionsForm;
}
class QButtonGroup;
class FileListWindow;
class ConversionErrorsDialog;
class JobDriver;
class OverwriteDialog;
class PresetRow;
class ProgressView;

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
    std::vector<std::string> InputPaths() const;

    // Leaving for the file selector: this form hides, then the hook runs (it shows the selector).
    std::function<void()> OnBackToSelector;
    // The job converted every file: the program ends. Defaults to quitting the application.
    std::function<void()> OnEndProgram;

    // The form's conversion job: its sources, whether it is stopping, the program's ending.
    JobDriver& Job() { return *job_; }

    // The choices as the controls show them.
    ConverterChoices Choices() const;
    // The WAVE output format as the chooser left it.
    const WaveOutputFormatBuffer& WaveOutputFormat() const { return waveFormat_; }
    uint8_t TargetFormat() const;
    // Where the outputs go, as the destination controls and format buttons say.
    DestinationSettings Destination() const;
    // The conversion list, the choices and the destination, for a job.
    JobOrder Order() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private slots:
    void cmdConvertClick();
    void cmdCancelClick();
    void cmdBrowseClick();
    void cmdBrowseBaseFolderClick();
    void optToDefPathClick();
    void chkToThisFoldClick();
    void cmdShowFilesClick();
    void ChooseWaveFormat();

private:
    void FormShow();
    void ShowProgressView();
    void ShowOptionsView();
    void UpdateDestControls();
    void UpdateNamePreview();
    void UpdateFormatPanel();
    void ShowWaveFormat();
    void BackToSelector();

    void SetUpControls();
    void OrderTabs();
    void MakeFormatButtons();
    void PlaceFormatButtons();
    void ShowChoices(const ConverterChoices& choices);
    void FixWindowSize();
    void ColourHeadings();
    uint32_t RowCount() const;
    std::string InputPath(uint32_t row) const;
    // The order of the list's first rows.
    JobOrder OrderOf(uint32_t rows) const;
    void KeepColumnWidths();

    std::unique_ptr<Ui::OptionsForm> ui;
    QButtonGroup* formatGroup_ = nullptr;
    FileListWindow* fileList_ = nullptr;
    std::unique_ptr<ProgressView> progress_;
    std::unique_ptr<JobDriver> job_;
    std::unique_ptr<PresetRow> presets_;

    bool LeavingForm = false;
    bool centred_ = false;
    // The stored "BrConvJobs", kept as it was: the form has no control for it.
    uint32_t jobs_ = 0;
    // What the load of the shown choices said of stored values it could not use.
    std::vector<std::string> storeNotices_;
    // The WAVE output format, as the chooser leaves it and WaveCompress.bin keeps it.
    WaveOutputFormatBuffer waveFormat_{};
};
