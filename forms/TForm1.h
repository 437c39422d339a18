#pragma once
// The options form: the user picks the target format, its options and where the outputs go, then
// converts the files of its conversion list. During the job the same window shows the progress
// and is the worker's host. The form keeps the user's choices and the WAVE output format between
// runs: loaded when it is created, saved when it is destroyed.
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "engine/ConversionHost.h"
#include "engine/ConverterChoices.h"
#include "engine/JobPlan.h"
#include "engine/trdConversion.h"
#include "selector/ConvertRow.h"

namespace Ui {
class TForm1;
}
class QButtonGroup;
class QLabel;
class PathLabel;
class TForm2;
class TfrmConvertErr;
class TfrmOverWriteFile;

class TForm1 : public QWidget, public ConversionHost {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The forms created after this one, used by the job and the "List Files to Convert" button.
    void Attach(TfrmOverWriteFile& overwrite, TfrmConvertErr& errors, TForm2& fileList);

    // The conversion list, filled by the file selector before it shows this form.
    void ClearConvertList();
    void AddConvertRow(const ConvertRow& row);

    // Leaving for the file selector: this form hides, then the hook runs (it shows the selector).
    std::function<void()> OnBackToSelector;
    // The job converted every file: the program ends. Defaults to quitting the application.
    std::function<void()> OnEndProgram;

    // Where the worker gets its sources; the real factory unless replaced (tests).
    void SetSourceFactory(trdConversion::SourceFactory factory);
    // Whether the running job has been asked to stop.
    bool JobStopAsked() const;
    // The session is ending the program: a running job stops between two blocks, as after Back
    // and Yes, no job starts any more, and the ending asks nothing and ends the program.
    void EndForQuit();

    // The choices as the controls show them.
    ConverterChoices Choices() const;
    uint8_t TargetFormat() const;
    // Where the outputs go, as the destination controls and format buttons say.
    DestinationSettings Destination() const;

    // ConversionHost: the worker's steps call these on the GUI thread.
    uint32_t RowCount() const override;
    std::string InputPath(uint32_t row) const override;
    void SelectRow(uint32_t row) override;
    std::string OutputPath(uint32_t row) const override;
    bool MayReplace(const std::string& outputPath) const override;
    void SetCounterText(const std::string& text) override;
    void SetWritingText(const std::string& text) override;
    void SetTimeRemainingText(const std::string& text) override;
    void SetFileBarWidth(int32_t width) override;
    void SetTotalBarWidth(int32_t width) override;
    void SetTitle(const std::string& text) override;
    void AddErrorLine(const std::string& line) override;

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
    void chkWaveClick();
    void chkMp3Click();
    void chkWMAClick();
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
    bool OverwritesConfirmed();
    uint64_t SumInputSizes();
    void RunWorker(uint64_t totalBytes);
    void EndJob();
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

    std::unique_ptr<Ui::TForm1> ui;
    QButtonGroup* formatGroup_ = nullptr;
    TfrmOverWriteFile* overwrite_ = nullptr;
    TfrmConvertErr* errors_ = nullptr;
    TForm2* fileList_ = nullptr;

    bool LeavingForm = false;
    bool CancelRequested = false;
    bool quitting_ = false;
    bool jobRunning_ = false;
    bool centred_ = false;
    trdConversion::SourceFactory createSource_;
    // The running job's outputs, after the renames chosen in the overwrite confirmation.
    std::optional<JobPlan> plan_;
    // The existing outputs the user agreed to replace, as the job names them.
    std::set<std::string> replaceable_;
    // The last job's worker; every job makes a new one.
    std::unique_ptr<trdConversion> worker_;
};
