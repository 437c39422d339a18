#include "forms/TForm1.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstring>
#include <thread>

#include "acm/Acm.h"
#include "engine/ConversionSettings.h"
#include "engine/ProgressFigures.h"
#include "engine/RenameTable.h"
#include "engine/TargetFormats.h"
#include "engine/WaveFormat.h"
#include "engine/WaveOutputFormatFile.h"
#include "engine/WmaAvailability.h"
#include "forms/AppMessage.h"
#include "forms/ApplicationTitle.h"
#include "forms/FileIconCache.h"
#include "forms/FormPictures.h"
#include "forms/MakerPages.h"
#include "forms/TForm2.h"
#include "forms/TfrmConvertErr.h"
#include "forms/TfrmOverWriteFile.h"
#include "forms/TfrmWaveFormat.h"
#include "jobs/ProcessPoolRunner.h"
#include "jobs/ThreadRunner.h"
#include "sources/CreateFileInput.h"
#include "system/CodecModules.h"
#include "system/FileRoutines.h"
#include "system/ProcessorCores.h"
#include "ui_TForm1.h"

namespace {
// The smallest client area; the window grows where its fonts need more.
constexpr QSize DesignSize(344, 304);
constexpr QSize BarSize(FullBarWidth, 15);
constexpr int PathColumn = 3;
constexpr int ExtensionColumn = 2;
// The progress view is drawn at most once per display frame, however often it changes.
constexpr int FrameMs = 16;

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename Choices> void FillList(QComboBox* list, const Choices& choices) {
    for (const auto& choice : choices) {
        list->addItem(Text(choice.Caption));
    }
}

std::optional<std::size_t> Selected(const QComboBox* list) {
    const int item = list->currentIndex();
    return item < 0 ? std::nullopt : std::optional<std::size_t>(item);
}

void Select(QComboBox* list, const std::optional<std::size_t>& item) {
    list->setCurrentIndex(
        item && *item < static_cast<std::size_t>(list->count()) ? static_cast<int>(*item) : -1);
}
} // namespace

TForm1::TForm1(const JobEnvironment& environment, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TForm1>()), environment_(environment),
      createSource_(CreateFileInput) {
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(FormPictures::Icon(QStringLiteral("brindlex.svg")));
    setWindowTitle(ApplicationTitle::Text());
    connect(&ApplicationTitle::Instance(), &ApplicationTitle::Changed, this,
            &QWidget::setWindowTitle);
    OnEndProgram = [] { QCoreApplication::quit(); };
    SetUpControls();

    LoadWaveOutputFormat(waveFormat_);
    ShowChoices(ConverterChoices::Load());
    UpdateDestControls();
    UpdateFormatPanel();
    FixWindowSize();
}

TForm1::~TForm1() {
    SaveWaveOutputFormat(waveFormat_);
    Choices().Save();
}

void TForm1::Attach(TfrmOverWriteFile& overwrite, TfrmConvertErr& errors, TForm2& fileList) {
    overwrite_ = &overwrite;
    errors_ = &errors;
    fileList_ = &fileList;
}

void TForm1::SetSourceFactory(RowConverter::SourceFactory factory) {
    createSource_ = std::move(factory);
    ownSources_ = true;
}

bool TForm1::JobStopAsked() const {
    return progress_.IsCancelling();
}

void TForm1::SetUpControls() {
    FillList(ui->cmbFreq, Mp3SampleRates);
    FillList(ui->cmbBitRate, Mp3BitRates);
    FillList(ui->cmbWMAQual, WmaQualities);
    ui->txtToFolder->setText(QDir::homePath() + QLatin1Char('/'));

    // Three separate radio groups, whatever the nesting of their parents.
    formatGroup_ = new QButtonGroup(this);
    formatGroup_->addButton(ui->chkWave);
    formatGroup_->addButton(ui->chkMp3);
    formatGroup_->addButton(ui->chkWMA);
    auto* channels = new QButtonGroup(this);
    channels->addButton(ui->chkStereo);
    channels->addButton(ui->chkMono);
    auto* destination = new QButtonGroup(this);
    destination->addButton(ui->optToDefPath);
    destination->addButton(ui->chkToThisFold);

    ui->chkWave->setIcon(FormPictures::Icon(QStringLiteral("wave.svg")));
    ui->chkMp3->setIcon(FormPictures::Icon(QStringLiteral("mp3.svg")));
    ui->chkWMA->setIcon(FormPictures::Icon(QStringLiteral("wma.svg")));
    const std::pair<QLabel*, const char*> icons[] = {
        {ui->Image1, "stereo.svg"}, {ui->Image2, "mono.svg"},       {ui->Image3, "bitrate.svg"},
        {ui->Image4, "freq.svg"},   {ui->Image5, "samefolder.svg"}, {ui->Image6, "thisfolder.svg"},
    };
    for (const auto& [label, name] : icons) {
        label->setPixmap(FormPictures::Pixmap(QLatin1String(name), QSize(16, 16), this));
    }
    for (QLabel* bar : {ui->imgFilePc, ui->imgTotalPc}) {
        bar->setPixmap(FormPictures::Pixmap(QStringLiteral("bar.svg"), BarSize, this));
    }
    ColourHeadings();

    QTreeWidget* list = ui->lstConvert;
    list->setColumnWidth(0, 190);
    list->setColumnWidth(1, 100);
    list->setColumnHidden(ExtensionColumn, true);
    list->setColumnHidden(PathColumn, true);
    list->header()->setSectionsClickable(false);
    list->header()->setSectionsMovable(false);
    WritingLabel()->SetFullText(WritingLabel()->text());

    connect(ui->cmdConvert, &QPushButton::clicked, this, &TForm1::cmdConvertClick);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &TForm1::cmdCancelClick);
    connect(ui->cmdBrowse, &QPushButton::clicked, this, &TForm1::cmdBrowseClick);
    connect(ui->optToDefPath, &QRadioButton::clicked, this, &TForm1::optToDefPathClick);
    connect(ui->chkToThisFold, &QRadioButton::clicked, this, &TForm1::chkToThisFoldClick);
    connect(ui->chkWave, &QToolButton::clicked, this, &TForm1::chkWaveClick);
    connect(ui->chkMp3, &QToolButton::clicked, this, &TForm1::chkMp3Click);
    connect(ui->chkWMA, &QToolButton::clicked, this, &TForm1::chkWMAClick);
    connect(ui->cmdShowFiles, &QPushButton::clicked, this, &TForm1::cmdShowFilesClick);
    connect(ui->cmdChangeWaveComp, &QPushButton::clicked, this, &TForm1::cmdChangeWaveCompClick);
}

void TForm1::ColourHeadings() {
    for (QWidget* heading : {FormatHeading(), FormatDescription(), DestinationHeading()}) {
        FormPictures::ColourHeading(heading);
    }
}

// One fixed size fits both views and every format's options, so the window never jumps.
void TForm1::FixWindowSize() {
    QAbstractButton* chosen = formatGroup_->checkedButton();
    QSize options;
    for (QAbstractButton* format : formatGroup_->buttons()) {
        format->setChecked(true);
        UpdateFormatPanel();
        options = options.expandedTo(ui->formatOptions->sizeHint());
    }
    chosen->setChecked(true);
    UpdateFormatPanel();
    // The widest and the tallest format's options, so that none is squeezed.
    ui->formatOptions->setMinimumSize(options);
    const QSize panel = ui->Panel2->sizeHint().expandedTo(ui->Panel3->sizeHint());
    ui->Panel2->setMinimumSize(panel);
    ui->Panel3->setMinimumSize(panel);
    layout()->activate();
    setFixedSize(sizeHint().expandedTo(DesignSize));
}

void TForm1::ShowChoices(const ConverterChoices& choices) {
    (choices.Target == tfMp3   ? ui->chkMp3
     : choices.Target == tfWMA ? ui->chkWMA
                               : ui->chkWave)
        ->setChecked(true);
    (choices.ToThisFolder ? ui->chkToThisFold : ui->optToDefPath)->setChecked(true);
    if (!choices.Folder.empty()) {
        ui->txtToFolder->setText(Text(choices.Folder));
    }
    Select(ui->cmbFreq, choices.Mp3FreqItem);
    Select(ui->cmbBitRate, choices.Mp3BitItem);
    (choices.Mono ? ui->chkMono : ui->chkStereo)->setChecked(true);
    Select(ui->cmbWMAQual, choices.WmaQualItem);
}

ConverterChoices TForm1::Choices() const {
    ConverterChoices choices;
    choices.Target = TargetFormat();
    choices.ToThisFolder = ui->chkToThisFold->isChecked();
    choices.Folder = ui->txtToFolder->text().toStdString();
    choices.Mp3FreqItem = Selected(ui->cmbFreq);
    choices.Mp3BitItem = Selected(ui->cmbBitRate);
    choices.Mono = ui->chkMono->isChecked();
    choices.WmaQualItem = Selected(ui->cmbWMAQual);
    return choices;
}

uint8_t TForm1::TargetFormat() const {
    return ui->chkMp3->isChecked() ? tfMp3 : ui->chkWMA->isChecked() ? tfWMA : tfWave;
}

// --- The conversion list ---------------------------------------------------------------------

void TForm1::ClearConvertList() {
    ui->lstConvert->clear();
}

void TForm1::AddConvertRow(const ConvertRow& row) {
    auto* item = new QTreeWidgetItem(ui->lstConvert);
    item->setText(0, Text(row.caption));
    item->setText(1, Text(row.typeDescription));
    item->setText(ExtensionColumn, Text(row.extension));
    item->setText(PathColumn, Text(row.fullPath));
    // The bytes as given: a name that is not valid UTF-8 must still reach the worker intact.
    item->setData(0, Qt::UserRole, QByteArray::fromStdString(row.fullPath));
    item->setIcon(0, FileIconCache::Shared().IconFor(row.extension));
}

std::vector<std::string> TForm1::InputPaths() const {
    std::vector<std::string> paths;
    paths.reserve(RowCount());
    for (uint32_t row = 0; row < RowCount(); ++row) {
        paths.push_back(InputPath(row));
    }
    return paths;
}

// --- The progress view ----------------------------------------------------------------------

uint32_t TForm1::RowCount() const {
    return static_cast<uint32_t>(ui->lstConvert->topLevelItemCount());
}

std::string TForm1::InputPath(uint32_t row) const {
    const QTreeWidgetItem* item = ui->lstConvert->topLevelItem(static_cast<int>(row));
    return item ? item->data(0, Qt::UserRole).toByteArray().toStdString() : std::string();
}

void TForm1::SelectRow(std::size_t row) {
    if (QTreeWidgetItem* item = ui->lstConvert->topLevelItem(static_cast<int>(row))) {
        ui->lstConvert->setCurrentItem(item);
        ui->lstConvert->scrollToItem(item);
    }
}

DestinationSettings TForm1::Destination() const {
    return {ui->optToDefPath->isChecked(), ui->txtToFolder->text().toStdString(), TargetFormat()};
}

void TForm1::ShowProgress(const JobProgress& progress) {
    CounterLabel()->setText(Text("Converted " + std::to_string(progress.Settled) + " of " +
                             std::to_string(progress.Rows)));
    int32_t fileBar = 0;
    if (progress.Lead) {
        const JobProgress::Slot& lead = progress.Slots.at(*progress.Lead);
        SelectRow(*lead.Row);
        if (plan_ && *lead.Row < plan_->Rows().size()) {
            WritingLabel()->SetFullText(Text("Writing '" + plan_->Rows()[*lead.Row].Output + "'"));
        }
        fileBar = ClampBarWidth(FileBarWidth(lead.Percent));
    }
    const int32_t total = ClampBarWidth(TotalBarWidth(progress.BytesDone, progress.BytesTotal));
    // A cancelled job's total bar stays where it was.
    if (!progress_.IsCancelling()) {
        SetBarWidth(ui->imgTotalPc, total);
        ApplicationTitle::Set(Text(ProgressTitle(total)));
    }
    SetBarWidth(ui->imgFilePc, fileBar);
    if (progress.SecondsLeft) {
        TimeRemainingLabel()->setText(Text(TimeRemainingText(*progress.SecondsLeft)));
    }
}

void TForm1::SetBarWidth(QWidget* bar, int32_t width) {
    bar->resize(std::clamp(width, 0, FullBarWidth), BarSize.height());
}

// --- The numbered labels ---------------------------------------------------------------------

QLabel* TForm1::FormatHeading() const {
    return ui->Label12;
}

QLabel* TForm1::FormatDescription() const {
    return ui->Label11;
}

QLabel* TForm1::BitRateCaption() const {
    return ui->Label9;
}

QLabel* TForm1::FrequencyCaption() const {
    return ui->Label10;
}

QLabel* TForm1::QualityCaption() const {
    return ui->Label1;
}

QLabel* TForm1::WaveFormatName() const {
    return ui->Label14;
}

QLabel* TForm1::WaveFormatDetails() const {
    return ui->Label15;
}

QLabel* TForm1::DestinationHeading() const {
    return ui->Label2;
}

QLabel* TForm1::TimeRemainingLabel() const {
    return ui->Label13;
}

QLabel* TForm1::CounterLabel() const {
    return ui->Label4;
}

PathLabel* TForm1::WritingLabel() const {
    return ui->Label7;
}

// --- Views -----------------------------------------------------------------------------------

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TForm1::FormShow() {
    if (!centred_ && screen()) {
        centred_ = true;
        move(screen()->availableGeometry().center() - rect().center());
    }
    if (jobRunning_) {
        return; // shown again while its job runs: it stays in the progress view
    }
    LeavingForm = false;
    CancelRequested = false;
    ShowOptionsView();
}

void TForm1::ShowOptionsView() {
    ui->cmdCancel->setEnabled(true);
    ui->Panel2->show();
    ui->Panel3->hide();
    ui->cmdConvert->setEnabled(true);
}

void TForm1::ShowProgressView() {
    ui->cmdCancel->setEnabled(true);
    ui->Panel2->hide();
    CounterLabel()->clear();
    ui->Panel3->show();
    ui->cmdConvert->setEnabled(false);
    SetBarWidth(ui->imgFilePc, 0);
    SetBarWidth(ui->imgTotalPc, 0);
}

void TForm1::UpdateDestControls() {
    const bool chosenFolder = ui->chkToThisFold->isChecked();
    ui->txtToFolder->setEnabled(chosenFolder);
    ui->cmdBrowse->setEnabled(chosenFolder);
}

void TForm1::UpdateFormatPanel() {
    const uint8_t target = TargetFormat();
    FormatDescription()->setText(Text(FindTargetFormat(target)->Description));
    if (target == tfWave) {
        ShowWaveFormat();
    }
    for (QWidget* mp3 :
         {static_cast<QWidget*>(ui->Image1), static_cast<QWidget*>(ui->Image2),
          static_cast<QWidget*>(ui->Image3), static_cast<QWidget*>(ui->Image4),
          static_cast<QWidget*>(ui->chkStereo), static_cast<QWidget*>(ui->chkMono),
          static_cast<QWidget*>(BitRateCaption()), static_cast<QWidget*>(FrequencyCaption()),
          static_cast<QWidget*>(ui->cmbBitRate), static_cast<QWidget*>(ui->cmbFreq)}) {
        mp3->setVisible(target == tfMp3);
    }
    for (QWidget* wma :
         {static_cast<QWidget*>(QualityCaption()), static_cast<QWidget*>(ui->cmbWMAQual)}) {
        wma->setVisible(target == tfWMA);
    }
    for (QWidget* wave :
         {static_cast<QWidget*>(WaveFormatName()), static_cast<QWidget*>(WaveFormatDetails()),
          static_cast<QWidget*>(ui->cmdChangeWaveComp)}) {
        wave->setVisible(target == tfWave);
    }
}

void TForm1::ShowWaveFormat() {
    // A copy: the detail calls take a writable record.
    WaveOutputFormatBuffer format = waveFormat_;
    WAVEFORMATEX head{};
    std::memcpy(&head, format.data(), sizeof head);
    if (head.wFormatTag == WAVE_FORMAT_PCM) {
        WaveFormatName()->setText(QStringLiteral("Standard Wave File"));
    } else {
        ACMFORMATTAGDETAILSA tag{};
        tag.cbStruct = sizeof tag;
        tag.dwFormatTag = head.wFormatTag;
        tag.cbFormatSize = sizeof head + head.cbSize;
        if (acmFormatTagDetailsA(nullptr, &tag, ACM_FORMATTAGDETAILSF_FORMATTAG) ==
            MMSYSERR_NOERROR) {
            WaveFormatName()->setText(QString::fromLatin1(tag.szFormatTag));
        }
    }
    ACMFORMATDETAILSA details{};
    details.cbStruct = sizeof details;
    details.dwFormatTag = head.wFormatTag;
    details.pwfx = reinterpret_cast<WAVEFORMATEX*>(format.data());
    details.cbwfx = sizeof head;
    if (acmFormatDetailsA(nullptr, &details, ACM_FORMATDETAILSF_FORMAT) == MMSYSERR_NOERROR) {
        WaveFormatDetails()->setText(QString::fromLatin1(details.szFormat));
    }
}

void TForm1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        ColourHeadings();
    }
}

// --- Buttons ---------------------------------------------------------------------------------

void TForm1::optToDefPathClick() {
    UpdateDestControls();
}

void TForm1::chkToThisFoldClick() {
    UpdateDestControls();
}

void TForm1::chkWaveClick() {
    UpdateFormatPanel();
}

void TForm1::chkMp3Click() {
    UpdateFormatPanel();
}

void TForm1::chkWMAClick() {
    UpdateFormatPanel();
}

void TForm1::cmdShowFilesClick() {
    fileList_->SetHeading(QStringLiteral("Files To Be Converted"));
    fileList_->show();
    fileList_->raise();
    fileList_->activateWindow();
}

void TForm1::cmdChangeWaveCompClick() {
    TfrmWaveFormat chooser(this);
    if (chooser.Choose(waveFormat_)) {
        ShowWaveFormat();
    }
}

void TForm1::cmdBrowseClick() {
    const QString folder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Save converted files in.."), ui->txtToFolder->text());
    if (!folder.isEmpty()) {
        ui->txtToFolder->setText(folder);
    }
}

void TForm1::cmdCancelClick() {
    if (ui->cmdConvert->isEnabled()) {
        LeavingForm = true;
        BackToSelector();
        return;
    }
    if (AppMessage(this, QMessageBox::Question, QStringLiteral("Cancel Conversion and Quit?"),
                   QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
        CancelRequested = true;
        if (job_) {
            job_->Cancel();
        }
    }
}

void TForm1::EndForQuit() {
    quitting_ = true;
    if (job_) {
        job_->Cancel();
    }
}

void TForm1::BackToSelector() {
    if (OnBackToSelector) {
        OnBackToSelector();
    }
    hide();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!LeavingForm) {
        LeavingForm = true;
        cmdCancelClick();
    }
    event->accept();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // A focused button takes Enter itself; otherwise the default button does.
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        QPushButton* button = focused ? focused : ui->cmdConvert;
        if (button->isEnabled() && button->isVisible()) {
            button->click();
        }
        return;
    }
    case Qt::Key_Escape:
        ui->cmdCancel->click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

// --- Converting ------------------------------------------------------------------------------

void TForm1::cmdConvertClick() {
    if (jobRunning_) {
        return;
    }
    errors_->Clear();
    // A question answered by the program's ending starts nothing.
    if (RefusedForWma() || !OverwritesConfirmed() || quitting_) {
        return;
    }
    jobRunning_ = true;
    ShowProgressView();
    ApplicationTitle::Set(Text(ProgressTitle(0)));
    WritingLabel()->SetFullText(QStringLiteral("Preparing to convert..."));
    jobSettings_ = ConversionSettings{};
    jobSettings_.WaveOutputFormat = waveFormat_;
    Choices().ApplyTo(jobSettings_);
    TimeRemainingLabel()->clear();
    const JobResult result = RunJob();
    jobRunning_ = false;
    EndJob(result);
}

bool TForm1::RefusedForWma() {
    const std::string refusal =
        WmaJobRefusal(TargetFormat(), InputPaths(), environment_.Codecs.Folders());
    if (refusal.empty()) {
        return false;
    }
    const QString question =
        Text(refusal) + QStringLiteral("\n\nJump to Brindlex's Download Page?");
    if (AppMessage(this, QMessageBox::Critical, question, QMessageBox::Yes | QMessageBox::No) ==
        QMessageBox::Yes) {
        QDesktopServices::openUrl(QUrl(Text(MakerDownloadPage)));
    }
    return true;
}

bool TForm1::OverwritesConfirmed() {
    overwrite_->ClearFiles();
    const JobPlan unrenamed(InputPaths(), Destination(), RenameTable());
    for (const std::size_t row : unrenamed.ExistingOutputs()) {
        // An output that several rows write is listed once: one answer, one new name.
        if (!unrenamed.Rows()[row].SameOutputAs) {
            overwrite_->AddFile(unrenamed.Rows()[row].Output);
        }
    }
    if (overwrite_->Count() > 0 && overwrite_->exec() != QDialog::Accepted) {
        return false;
    }
    // The settings and the rename table stay as they are until the job has ended.
    plan_.emplace(InputPaths(), Destination(), overwrite_->Renames());
    replaceable_.clear();
    for (const std::size_t row : plan_->ExistingOutputs()) {
        replaceable_.insert(plan_->Rows()[row].Output);
    }
    return true;
}

std::unique_ptr<JobRunner> TForm1::MakeRunner(RowConverter& converter) {
    const uint32_t stored = Choices().Jobs;
    const std::size_t jobs =
        std::min<std::size_t>(stored == 0 ? ProcessorCores() : stored, plan_->Rows().size());
    if (jobs > 1 && !ownSources_) {
        auto pool =
            std::make_unique<ProcessPoolRunner>(environment_.WorkerProgram, jobSettings_, jobs);
        std::string problem;
        if (pool->Start(problem)) {
            return pool;
        }
    }
    return std::make_unique<ThreadRunner>(converter);
}

// Runs the job on a thread of its own while this one goes on with the window; each display
// frame shows the latest figures once.
JobResult TForm1::RunJob() {
    RowConverter converter(jobSettings_, environment_, createSource_);
    const std::unique_ptr<JobRunner> runner = MakeRunner(converter);
    std::vector<std::string> listed(replaceable_.begin(), replaceable_.end());
    JobController job(plan_->Rows(), ReplaceableOutputs(listed, false), false);
    progress_.Clear();
    job_ = &job;
    if (CancelRequested || quitting_) {
        job.Cancel();
    }
    QEventLoop loop;
    QTimer frame;
    connect(&frame, &QTimer::timeout, this, [this] {
        if (const auto latest = progress_.Take()) {
            ShowProgress(*latest);
        }
    });
    frame.start(FrameMs);
    JobResult result;
    std::thread thread([&] {
        result = job.Run(*runner, progress_);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    thread.join();
    job_ = nullptr;
    if (const auto latest = progress_.Take()) {
        ShowProgress(*latest);
    }
    for (const std::string& line : result.Lines) {
        errors_->AddLine(Text(line));
    }
    return result;
}

void TForm1::EndJob(const JobResult& result) {
    if (quitting_) {
        LeavingForm = true;
        OnEndProgram();
    } else if (CancelRequested) {
        AppMessage(this, QMessageBox::Information, QStringLiteral("Conversion was cancelled."),
                   QMessageBox::Ok, true);
        LeavingForm = true;
        BackToSelector();
    } else if (result.Lines.empty()) {
        AppMessage(this, QMessageBox::Information,
                   QStringLiteral("All files have now been converted."), QMessageBox::Ok, true);
        LeavingForm = true;
        OnEndProgram();
    } else {
        errors_->ShowModal();
        LeavingForm = true;
        BackToSelector();
    }
}
