#include "forms/OptionsForm.h"

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
#include <cctype>
#include <cstring>
#include <thread>
#include <tuple>

#include "acm/WaveFormatCatalog.h"
#include "choices/StoredWidth.h"
#include "engine/CodecCheck.h"
#include "engine/ConversionSettings.h"
#include "engine/ProgressFigures.h"
#include "engine/RenameTable.h"
#include "engine/TargetFormats.h"
#include "engine/WaveFormat.h"
#include "engine/WaveOutputFormatFile.h"
#include "engine/WmaAvailability.h"
#include "forms/AppMessage.h"
#include "forms/ApplicationTitle.h"
#include "forms/ConversionErrorsDialog.h"
#include "forms/DesktopNotice.h"
#include "forms/FileIconCache.h"
#include "forms/FileListWindow.h"
#include "forms/FormPictures.h"
#include "forms/MakerPages.h"
#include "forms/OverwriteDialog.h"
#include "forms/WaveFormatDialog.h"
#include "jobs/OutputFolder.h"
#include "jobs/ProcessPoolRunner.h"
#include "jobs/ThreadRunner.h"
#include "sources/OpenAudioSource.h"
#include "system/CodecModules.h"
#include "system/FileRoutines.h"
#include "system/ProcessorCores.h"
#include "ui_OptionsForm.h"

namespace {
// The smallest client area; the window grows where its fonts need more.
constexpr QSize DesignSize(344, 304);
constexpr QSize BarSize(FullBarWidth, 15);
constexpr int PathColumn = 3;
constexpr int ExtensionColumn = 2;
constexpr int TypeColumn = 1;
// The row's folder below the marked folder it came from, for a kept folder tree.
constexpr int SubFolderRole = Qt::UserRole + 1;
// The clashing outputs named in the question itself; the rest are behind "Show Details...".
constexpr std::size_t ClashesShown = 8;
const StoredWidth TypeWidth("BrConvertTypeWidth");
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

OptionsForm::OptionsForm(const JobEnvironment& environment, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::OptionsForm>()), environment_(environment),
      createSource_(OpenAudioSource) {
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

OptionsForm::~OptionsForm() {
    KeepColumnWidths();
    SaveWaveOutputFormat(waveFormat_);
    Choices().Save();
}

void OptionsForm::Attach(OverwriteDialog& overwrite, ConversionErrorsDialog& errors,
                         FileListWindow& fileList) {
    overwrite_ = &overwrite;
    errors_ = &errors;
    fileList_ = &fileList;
}

void OptionsForm::SetSourceFactory(RowConverter::SourceFactory factory) {
    createSource_ = std::move(factory);
    ownSources_ = true;
}

bool OptionsForm::JobStopAsked() const {
    return progress_.IsCancelling();
}

void OptionsForm::SetUpControls() {
    FillList(ui->cmbFreq, Mp3SampleRates);
    FillList(ui->cmbBitRate, Mp3BitRates);
    FillList(ui->cmbWMAQual, WmaQualities);
    ui->txtToFolder->setText(QDir::homePath() + QLatin1Char('/'));

    // Three separate radio groups, whatever the nesting of their parents.
    formatGroup_ = new QButtonGroup(this);
    const std::tuple<QToolButton*, uint8_t, const char*> formats[] = {
        {ui->chkWave, tfWave, "wave.svg"}, {ui->chkMp3, tfMp3, "mp3.svg"},
        {ui->chkWMA, tfWMA, "wma.svg"},    {ui->chkFlac, tfFlac, "flac.svg"},
        {ui->chkOpus, tfOpus, "opus.svg"}, {ui->chkVorbis, tfVorbis, "vorbis.svg"},
        {ui->chkAac, tfAac, "aac.svg"},    {ui->chkAlac, tfAlac, "alac.svg"},
    };
    for (const auto& [button, target, picture] : formats) {
        formatGroup_->addButton(button, target);
        button->setIcon(FormPictures::Icon(QLatin1String(picture)));
    }
    auto* channels = new QButtonGroup(this);
    channels->addButton(ui->chkStereo);
    channels->addButton(ui->chkMono);
    auto* destination = new QButtonGroup(this);
    destination->addButton(ui->optToDefPath);
    destination->addButton(ui->chkToThisFold);

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

    // Paths give way in their middle, and the name column takes what the type leaves.
    QTreeWidget* list = ui->lstConvert;
    list->setTextElideMode(Qt::ElideMiddle);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list->setColumnWidth(TypeColumn, TypeWidth.Or(100));
    list->setColumnHidden(ExtensionColumn, true);
    list->setColumnHidden(PathColumn, true);
    list->header()->setSectionsClickable(false);
    list->header()->setSectionsMovable(false);
    WritingLabel()->SetFullText(WritingLabel()->text());

    connect(ui->cmdConvert, &QPushButton::clicked, this, &OptionsForm::cmdConvertClick);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &OptionsForm::cmdCancelClick);
    connect(ui->cmdBrowse, &QPushButton::clicked, this, &OptionsForm::cmdBrowseClick);
    // The state, not the click: a screen reader's toggle or a key changes it just the same.
    connect(ui->optToDefPath, &QRadioButton::toggled, this, &OptionsForm::optToDefPathClick);
    connect(ui->chkToThisFold, &QRadioButton::toggled, this, &OptionsForm::chkToThisFoldClick);
    connect(formatGroup_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) {
            UpdateFormatPanel();
        }
    });
    connect(ui->cmdShowFiles, &QPushButton::clicked, this, &OptionsForm::cmdShowFilesClick);
    connect(ui->cmdChangeWaveComp, &QPushButton::clicked, this,
            &OptionsForm::cmdChangeWaveCompClick);
}

void OptionsForm::ColourHeadings() {
    for (QWidget* heading : {FormatHeading(), FormatDescription(), DestinationHeading()}) {
        FormPictures::ColourHeading(heading);
    }
}

// One fixed size fits both views and every format's options, so the window never jumps.
void OptionsForm::FixWindowSize() {
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

void OptionsForm::ShowChoices(const ConverterChoices& choices) {
    QAbstractButton* target = formatGroup_->button(choices.Target);
    (target ? target : ui->chkWave)->setChecked(true);
    (choices.ToThisFolder ? ui->chkToThisFold : ui->optToDefPath)->setChecked(true);
    if (!choices.Folder.empty()) {
        ui->txtToFolder->setText(Text(choices.Folder));
    }
    Select(ui->cmbFreq, choices.Mp3FreqItem);
    Select(ui->cmbBitRate, choices.Mp3BitItem);
    (choices.Mono ? ui->chkMono : ui->chkStereo)->setChecked(true);
    Select(ui->cmbWMAQual, choices.WmaQualItem);
    ui->chkKeepTree->setChecked(choices.KeepTree);
    ui->formatNumbers->Show(choices.Numbers);
    jobs_ = choices.Jobs;
}

ConverterChoices OptionsForm::Choices() const {
    ConverterChoices choices;
    choices.Target = TargetFormat();
    choices.ToThisFolder = ui->chkToThisFold->isChecked();
    choices.Folder = ui->txtToFolder->text().toStdString();
    choices.Mp3FreqItem = Selected(ui->cmbFreq);
    choices.Mp3BitItem = Selected(ui->cmbBitRate);
    choices.Mono = ui->chkMono->isChecked();
    choices.WmaQualItem = Selected(ui->cmbWMAQual);
    choices.Jobs = jobs_;
    choices.KeepTree = ui->chkKeepTree->isChecked();
    ui->formatNumbers->ApplyTo(choices.Numbers);
    return choices;
}

uint8_t OptionsForm::TargetFormat() const {
    return static_cast<uint8_t>(formatGroup_->checkedId());
}

// --- The conversion list ---------------------------------------------------------------------

void OptionsForm::ClearConvertList() {
    ui->lstConvert->clear();
}

void OptionsForm::AddConvertRow(const ConvertRow& row) {
    auto* item = new QTreeWidgetItem(ui->lstConvert);
    item->setText(0, Text(row.caption));
    item->setText(1, Text(row.typeDescription));
    item->setText(ExtensionColumn, Text(row.extension));
    item->setText(PathColumn, Text(row.fullPath));
    item->setToolTip(0, Text(row.fullPath));
    item->setData(0, SubFolderRole, QByteArray::fromStdString(row.subFolder));
    // The bytes as given: a name that is not valid UTF-8 must still reach the worker intact.
    item->setData(0, Qt::UserRole, QByteArray::fromStdString(row.fullPath));
    item->setIcon(0, FileIconCache::Shared().IconFor(row.extension));
}

std::vector<std::string> OptionsForm::InputPaths() const {
    std::vector<std::string> paths;
    paths.reserve(RowCount());
    for (uint32_t row = 0; row < RowCount(); ++row) {
        paths.push_back(InputPath(row));
    }
    return paths;
}

// --- The progress view ----------------------------------------------------------------------

uint32_t OptionsForm::RowCount() const {
    return static_cast<uint32_t>(ui->lstConvert->topLevelItemCount());
}

std::string OptionsForm::InputPath(uint32_t row) const {
    const QTreeWidgetItem* item = ui->lstConvert->topLevelItem(static_cast<int>(row));
    return item ? item->data(0, Qt::UserRole).toByteArray().toStdString() : std::string();
}

void OptionsForm::SelectRow(std::size_t row) {
    if (QTreeWidgetItem* item = ui->lstConvert->topLevelItem(static_cast<int>(row))) {
        ui->lstConvert->setCurrentItem(item);
        ui->lstConvert->scrollToItem(item);
    }
}

DestinationSettings OptionsForm::Destination() const {
    return {ui->optToDefPath->isChecked(), ui->txtToFolder->text().toStdString(), TargetFormat()};
}

void OptionsForm::ShowProgress(const JobProgress& progress) {
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

void OptionsForm::SetBarWidth(QWidget* bar, int32_t width) {
    bar->resize(std::clamp(width, 0, FullBarWidth), BarSize.height());
}

// --- The numbered labels ---------------------------------------------------------------------

QLabel* OptionsForm::FormatHeading() const {
    return ui->Label12;
}

QLabel* OptionsForm::FormatDescription() const {
    return ui->Label11;
}

QLabel* OptionsForm::BitRateCaption() const {
    return ui->Label9;
}

QLabel* OptionsForm::FrequencyCaption() const {
    return ui->Label10;
}

QLabel* OptionsForm::QualityCaption() const {
    return ui->Label1;
}

QLabel* OptionsForm::WaveFormatName() const {
    return ui->Label14;
}

QLabel* OptionsForm::WaveFormatDetails() const {
    return ui->Label15;
}

QLabel* OptionsForm::DestinationHeading() const {
    return ui->Label2;
}

QLabel* OptionsForm::TimeRemainingLabel() const {
    return ui->Label13;
}

QLabel* OptionsForm::CounterLabel() const {
    return ui->Label4;
}

PathLabel* OptionsForm::WritingLabel() const {
    return ui->Label7;
}

// --- Views -----------------------------------------------------------------------------------

void OptionsForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void OptionsForm::FormShow() {
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

void OptionsForm::ShowOptionsView() {
    ui->cmdCancel->setEnabled(true);
    ui->Panel2->show();
    ui->Panel3->hide();
    ui->cmdConvert->setEnabled(true);
}

void OptionsForm::ShowProgressView() {
    ui->cmdCancel->setEnabled(true);
    ui->Panel2->hide();
    CounterLabel()->clear();
    ui->Panel3->show();
    ui->cmdConvert->setEnabled(false);
    SetBarWidth(ui->imgFilePc, 0);
    SetBarWidth(ui->imgTotalPc, 0);
}

void OptionsForm::UpdateDestControls() {
    const bool chosenFolder = ui->chkToThisFold->isChecked();
    ui->txtToFolder->setEnabled(chosenFolder);
    ui->cmdBrowse->setEnabled(chosenFolder);
    ui->chkKeepTree->setEnabled(chosenFolder);
}

void OptionsForm::UpdateFormatPanel() {
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
    ui->formatNumbers->ShowFor(target);
}

void OptionsForm::ShowWaveFormat() {
    WAVEFORMATEX head{};
    std::memcpy(&head, waveFormat_.data(), sizeof head);
    // A name or description that cannot be given leaves its label as it was.
    if (head.wFormatTag == WAVE_FORMAT_PCM) {
        WaveFormatName()->setText(QStringLiteral("Standard Wave File"));
    } else if (const std::string name = WaveFormatCatalog::TagName(head.wFormatTag);
               !name.empty()) {
        WaveFormatName()->setText(QString::fromLatin1(name.c_str()));
    }
    // Only the head is described: the stored record's extra bytes say nothing the label shows.
    const std::string details =
        WaveFormatCatalog::Describe(std::span(waveFormat_.data(), sizeof head));
    if (!details.empty()) {
        WaveFormatDetails()->setText(QString::fromLatin1(details.c_str()));
    }
}

void OptionsForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        ColourHeadings();
    }
}

// --- Buttons ---------------------------------------------------------------------------------

void OptionsForm::optToDefPathClick() {
    UpdateDestControls();
}

void OptionsForm::chkToThisFoldClick() {
    UpdateDestControls();
}

void OptionsForm::cmdShowFilesClick() {
    fileList_->SetHeading(QStringLiteral("Files To Be Converted"));
    fileList_->show();
    fileList_->raise();
    fileList_->activateWindow();
}

void OptionsForm::cmdChangeWaveCompClick() {
    WaveFormatDialog chooser(this);
    if (chooser.Choose(waveFormat_)) {
        ShowWaveFormat();
    }
}

void OptionsForm::cmdBrowseClick() {
    const QString folder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Save converted files in.."), ui->txtToFolder->text());
    if (!folder.isEmpty()) {
        ui->txtToFolder->setText(folder);
    }
}

void OptionsForm::cmdCancelClick() {
    if (ui->cmdConvert->isEnabled()) {
        LeavingForm = true;
        BackToSelector();
        return;
    }
    AskToCancel();
}

void OptionsForm::AskToCancel() {
    if (CancelRequested) {
        return; // asked and answered already; the job is stopping
    }
    if (AppMessage(this, QMessageBox::Question, QStringLiteral("Cancel Conversion and Quit?"),
                   QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
        CancelRequested = true;
        if (job_) {
            job_->Cancel();
        }
    }
}

void OptionsForm::EndForQuit() {
    quitting_ = true;
    if (job_) {
        job_->Cancel();
    }
}

void OptionsForm::BackToSelector() {
    if (OnBackToSelector) {
        OnBackToSelector();
    }
    hide();
}

void OptionsForm::closeEvent(QCloseEvent* event) {
    if (jobRunning_ && !quitting_) {
        // The window stays with its job: the answer only decides whether the job stops, and a
        // stopped job returns to the file selector as after "<< Back".
        event->ignore();
        AskToCancel();
        return;
    }
    if (!LeavingForm) {
        LeavingForm = true;
        cmdCancelClick();
    }
    event->accept();
}

void OptionsForm::keyPressEvent(QKeyEvent* event) {
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

void OptionsForm::cmdConvertClick() {
    if (jobRunning_) {
        return;
    }
    errors_->Clear();
    // A question answered by the program's ending starts nothing.
    if (RefusedForWma() || RefusedForMissingModules() || !ClashesSettled() || !FolderReady() ||
        !OverwritesConfirmed() || quitting_) {
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

bool OptionsForm::RefusedForWma() {
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

// The newer formats' modules: without one, the job would fail every file that needs it.
bool OptionsForm::RefusedForMissingModules() {
    const std::vector<std::string> missing = MissingCodecModules(
        TargetFormat(), InputPaths(), environment_.Codecs.Folders(), /*forWindow=*/true);
    if (missing.empty()) {
        return false;
    }
    QString text;
    for (const std::string& line : missing) {
        QString sentence = Text(line) + QLatin1Char('.');
        sentence[0] = sentence[0].toUpper();
        text += sentence + QLatin1Char('\n');
    }
    AppMessage(this, QMessageBox::Critical, text + QStringLiteral("\nNothing was converted."));
    return true;
}

PlannedJob OptionsForm::Planned() const {
    std::vector<std::string> subFolders;
    subFolders.reserve(RowCount());
    for (uint32_t row = 0; row < RowCount(); ++row) {
        const QTreeWidgetItem* item = ui->lstConvert->topLevelItem(static_cast<int>(row));
        subFolders.push_back(item->data(0, SubFolderRole).toByteArray().toStdString());
    }
    return PlannedJob(InputPaths(), std::move(subFolders), Destination(),
                      ui->chkKeepTree->isChecked());
}

// Outputs that several inputs would write lose all but one: the user keeps the folder tree (where
// that parts them) or goes back to change the choices.
bool OptionsForm::ClashesSettled() {
    const PlannedJob planned = Planned();
    const std::vector<std::string> clashes = planned.ClashLines();
    if (clashes.empty()) {
        return true;
    }
    QString text = QStringLiteral("These files would each be written from more than one "
                                  "original, and all but one of them would be lost:\n");
    QString details;
    for (std::size_t i = 0; i < clashes.size(); ++i) {
        (i < ClashesShown ? text : details) += QStringLiteral("\n") + Text(clashes[i]);
    }
    if (clashes.size() > ClashesShown) {
        text += QStringLiteral("\n... and %1 more.").arg(clashes.size() - ClashesShown);
    }
    const bool treeHelps = planned.KeepingTheTreeWouldHelp();
    text += treeHelps ? QStringLiteral("\n\nKeep the folder tree below the chosen folder, so that "
                                       "each file keeps the folder it had?")
                      : QStringLiteral("\n\nPlease go back and choose another format or folder.");
    QMessageBox box(QMessageBox::Warning, ApplicationTitle::Text(), text, QMessageBox::NoButton,
                    this);
    if (!details.isEmpty()) {
        box.setDetailedText(details.mid(1));
    }
    QPushButton* keep =
        treeHelps ? box.addButton(QStringLiteral("&Keep Folder Tree"), QMessageBox::AcceptRole)
                  : nullptr;
    box.setDefaultButton(box.addButton(QStringLiteral("&Go Back"), QMessageBox::RejectRole));
    box.exec();
    if (keep && box.clickedButton() == keep) {
        ui->chkKeepTree->setChecked(true);
        return true;
    }
    return false;
}

// The chosen folder: typed as a full path, there (or made, with its parents, when the user
// agrees) and writable, before anything is converted into it.
bool OptionsForm::FolderReady() {
    const PlannedJob planned = Planned();
    if (const std::string refusal = planned.FolderRefusal(); !refusal.empty()) {
        AppMessage(this, QMessageBox::Warning, Text(refusal));
        return false;
    }
    if (ui->optToDefPath->isChecked()) {
        return true;
    }
    const std::string folder = Destination().Folder;
    if (planned.FolderMissing() &&
        AppMessage(this, QMessageBox::Question,
                   Text("The folder '" + folder + "' does not exist. Create it?"),
                   QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        return false;
    }
    if (std::string failure = PrepareOutputFolder(folder); !failure.empty()) {
        failure.front() =
            static_cast<char>(std::toupper(static_cast<unsigned char>(failure.front())));
        AppMessage(this, QMessageBox::Critical, Text(failure + "."));
        return false;
    }
    return true;
}

bool OptionsForm::OverwritesConfirmed() {
    overwrite_->ClearFiles();
    const PlannedJob planned = Planned();
    const JobPlan unrenamed = planned.Plan();
    for (const std::size_t row : unrenamed.ExistingOutputs()) {
        // An output that several rows write is listed once: one answer, one new name.
        const PlannedRow& existing = unrenamed.Rows()[row];
        if (!existing.SameOutputAs) {
            overwrite_->AddFile(existing.Output, PlannedJob::IsOriginalItself(existing));
        }
    }
    if (overwrite_->Count() > 0 && overwrite_->exec() != QDialog::Accepted) {
        return false;
    }
    // The settings and the rename table stay as they are until the job has ended.
    plan_.emplace(planned.Plan(overwrite_->Renames()));
    keepTree_ = planned.KeepsTree();
    replaceable_.clear();
    for (const std::size_t row : plan_->ExistingOutputs()) {
        replaceable_.insert(plan_->Rows()[row].Output);
    }
    return true;
}

std::unique_ptr<JobRunner> OptionsForm::MakeRunner(RowConverter& converter) {
    const uint32_t stored = jobs_;
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
JobResult OptionsForm::RunJob() {
    RowConverter converter(jobSettings_, environment_, createSource_);
    const std::unique_ptr<JobRunner> runner = MakeRunner(converter);
    std::vector<std::string> listed(replaceable_.begin(), replaceable_.end());
    JobController job(plan_->Rows(), ReplaceableOutputs(listed, false), keepTree_);
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

void OptionsForm::EndJob(const JobResult& result) {
    if (!quitting_) {
        NoticeIfUnseen(result);
    }
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
    // The closing boxes carried the job's last title; the window gets its name back.
    ApplicationTitle::Restore();
}

// A job that ended while the user worked elsewhere is told on the desktop too.
void OptionsForm::NoticeIfUnseen(const JobResult& result) {
    if (isActiveWindow()) {
        return;
    }
    QString counts =
        QStringLiteral("%1 converted, %2 failed").arg(result.Converted).arg(result.Failed);
    if (result.Unfinished > 0) {
        counts +=
            (result.Stopped == JobResult::Stop::Cancelled ? QStringLiteral(", %1 cancelled")
                                                          : QStringLiteral(", %1 not converted"))
                .arg(result.Unfinished);
    }
    const QString summary = CancelRequested ? QStringLiteral("Conversion was cancelled")
                            : result.Lines.empty()
                                ? QStringLiteral("All files have now been converted")
                                : QStringLiteral("Conversion complete, with problems");
    DesktopNotice::Send(summary, counts);
}

void OptionsForm::KeepColumnWidths() {
    TypeWidth.Save(ui->lstConvert->columnWidth(TypeColumn));
}
