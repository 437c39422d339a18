#include "forms/OptionsForm.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>
#include <cstring>

#include "acm/WaveFormatCatalog.h"
#include "catalog/FormatTable.h"
#include "choices/StoredWidth.h"
#include "engine/WaveFormat.h"
#include "forms/ApplicationTitle.h"
#include "forms/FileIconCache.h"
#include "forms/FileListWindow.h"
#include "forms/FormPictures.h"
#include "forms/FormatControls.h"
#include "forms/FormatOptionPanel.h"
#include "forms/JobDriver.h"
#include "forms/PathLabel.h"
#include "forms/PresetRow.h"
#include "forms/ProgressView.h"
#include "forms/WaveFormatDialog.h"
#include "system/CodecModules.h"
#include "system/FileNames.h"
#include "ui_OptionsForm.h"

namespace {
// The smallest client area; the window grows where its fonts need more.
constexpr QSize DesignSize(344, 304);
constexpr int PathColumn = 3;
constexpr int ExtensionColumn = 2;
constexpr int TypeColumn = 1;
// The row's folder below the marked folder it came from, for a kept folder tree.
constexpr int SubFolderRole = Qt::UserRole + 1;
// The part of its input a row converts: a cue sheet's track.
constexpr int PartRole = Qt::UserRole + 2;
const StoredWidth TypeWidth("BrConvertTypeWidth");

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QToolButton* FormatButton(const FormatInfo& format, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(FormatControlName("chkFormat", format));
    button->setToolTip(Text(format.ButtonName));
    button->setAccessibleName(Text(format.ButtonName));
    button->setIconSize(QSize(40, 40));
    button->setCheckable(true);
    button->setAutoExclusive(true);
    button->setAutoRaise(true);
    button->setIcon(FormPictures::Icon(Text(format.Picture)));
    return button;
}

} // namespace

OptionsForm::OptionsForm(const JobEnvironment& environment, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::OptionsForm>()) {
    MakeFormatButtons();
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
    progress_ = std::make_unique<ProgressView>(
        ProgressView::Controls{ui->lstConvert, ui->lblCounter, ui->lblWriting, ui->imgFilePc,
                               ui->imgTotalPc, ui->lblTimeRemaining},
        *this);
    job_ = std::make_unique<JobDriver>(*this, *progress_, environment);

    LoadWaveOutputFormat(waveFormat_);
    ShowChoices(ConverterChoices::Load());
    presets_ = std::make_unique<PresetRow>(
        PresetRow::Controls{ui->cboPreset, ui->cmdSavePreset, ui->cmdDeletePreset},
        PresetRow::Form{this, [this] { return Choices(); },
                        [this](const ConverterChoices& choices) { ShowChoices(choices); }},
        environment.Codecs.Folders());
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
    job_->Attach(overwrite, errors);
    fileList_ = &fileList;
}

void OptionsForm::SetUpControls() {
    ui->txtToFolder->setText(QDir::homePath() + QLatin1Char('/'));
    OrderTabs();

    // The format buttons and the destination, each a radio group whatever the nesting of parents.
    PlaceFormatButtons();
    auto* destination = new QButtonGroup(this);
    destination->addButton(ui->optToDefPath);
    destination->addButton(ui->chkToThisFold);

    const std::pair<QLabel*, const char*> icons[] = {
        {ui->imgSameFolder, "samefolder.svg"},
        {ui->imgThisFolder, "thisfolder.svg"},
    };
    for (const auto& [label, name] : icons) {
        label->setPixmap(FormPictures::Pixmap(QLatin1String(name), QSize(16, 16), this));
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

    connect(ui->cmdConvert, &QPushButton::clicked, this, &OptionsForm::cmdConvertClick);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &OptionsForm::cmdCancelClick);
    connect(ui->cmdBrowse, &QPushButton::clicked, this, &OptionsForm::cmdBrowseClick);
    connect(ui->cmdBrowseBaseFolder, &QPushButton::clicked, this,
            &OptionsForm::cmdBrowseBaseFolderClick);
    // The state, not the click: a screen reader's toggle or a key changes it just the same.
    connect(ui->optToDefPath, &QRadioButton::toggled, this, &OptionsForm::optToDefPathClick);
    connect(ui->chkToThisFold, &QRadioButton::toggled, this, &OptionsForm::chkToThisFoldClick);
    connect(formatGroup_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) {
            UpdateFormatPanel();
            UpdateNamePreview();
        }
    });
    // Whatever names the first file's output shows in its preview at once.
    for (QLineEdit* field : {ui->txtToFolder, ui->txtBaseFolder, ui->txtNamePattern}) {
        connect(field, &QLineEdit::textChanged, this, &OptionsForm::UpdateNamePreview);
    }
    for (QAbstractButton* box : {ui->chkKeepTree, ui->chkSafeNames}) {
        connect(box, &QAbstractButton::toggled, this, &OptionsForm::UpdateNamePreview);
    }
    connect(ui->chkMirror, &QAbstractButton::toggled, this, &OptionsForm::UpdateDestControls);
    connect(ui->cmdShowFiles, &QPushButton::clicked, this, &OptionsForm::cmdShowFilesClick);
    connect(ui->formatOptions, &FormatOptionPanel::ChangeTextChoice, this,
            &OptionsForm::ChooseWaveFormat);
}

// The format's options, the destination, the presets, the conversion list and the buttons, then the
// captioned rows of the newer formats' options and "Keep folder tree", where the form has always
// had them.
void OptionsForm::OrderTabs() {
    QWidget* const order[] = {ui->formatOptions->LastBeforeRows(),
                              ui->optToDefPath,
                              ui->chkToThisFold,
                              ui->txtToFolder,
                              ui->cmdBrowse,
                              ui->cboPreset,
                              ui->cmdSavePreset,
                              ui->cmdDeletePreset,
                              ui->lstConvert,
                              ui->cmdConvert,
                              ui->cmdCancel};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    // The newer destination and cover controls follow "Keep folder tree", top to bottom.
    QWidget* const newer[] = {
        ui->chkKeepTree,    ui->txtBaseFolder, ui->cmdBrowseBaseFolder, ui->txtNamePattern,
        ui->chkSafeNames,   ui->chkMirror,     ui->txtMirrorExtras,     ui->spnCoverSize,
        ui->chkFolderCover, ui->cmbReplayGain, ui->chkVerifyOutputs,    ui->chkSplitEmbeddedSheets};
    for (std::size_t i = 1; i < std::size(newer); ++i) {
        setTabOrder(newer[i - 1], newer[i]);
    }
}

// A button per format written, in the registry's order. Made before the designed controls, they
// come first in the tab order, before "List Files to Convert", as the design had them.
void OptionsForm::MakeFormatButtons() {
    formatGroup_ = new QButtonGroup(this);
    for (const FormatInfo* format : ButtonFormats()) {
        formatGroup_->addButton(FormatButton(*format, this), format->Number);
    }
}

// Each in the row before "List Files to Convert", and so among the panel's children.
void OptionsForm::PlaceFormatButtons() {
    int place = 0;
    for (QAbstractButton* button : formatGroup_->buttons()) {
        ui->formatRow->insertWidget(place++, button);
        button->stackUnder(ui->cmdShowFiles);
    }
}

void OptionsForm::ColourHeadings() {
    for (QWidget* heading : {ui->lblConvertTo, ui->lblFormatDescription, ui->lblDestination}) {
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
    const QSize panel = ui->panOptions->sizeHint().expandedTo(ui->panProgress->sizeHint());
    ui->panOptions->setMinimumSize(panel);
    ui->panProgress->setMinimumSize(panel);
    layout()->activate();
    setFixedSize(sizeHint().expandedTo(DesignSize));
}

void OptionsForm::ShowChoices(const ConverterChoices& choices) {
    QAbstractButton* target = formatGroup_->button(choices.Target);
    (target ? target : formatGroup_->buttons().front())->setChecked(true);
    (choices.ToThisFolder ? ui->chkToThisFold : ui->optToDefPath)->setChecked(true);
    if (!choices.Folder.empty()) {
        ui->txtToFolder->setText(Text(choices.Folder));
    }
    ui->chkKeepTree->setChecked(choices.KeepTree);
    ui->txtBaseFolder->setText(Text(choices.BaseFolder));
    ui->txtNamePattern->setText(Text(choices.NamePattern));
    ui->chkSafeNames->setChecked(choices.SafeNames);
    ui->spnCoverSize->setValue(static_cast<int>(
        std::min<uint32_t>(choices.CoverSize, static_cast<uint32_t>(ui->spnCoverSize->maximum()))));
    ui->chkFolderCover->setChecked(choices.FolderCover);
    ui->chkMirror->setChecked(choices.Mirror);
    ui->txtMirrorExtras->setText(Text(choices.MirrorExtras));
    // The list's rows are the modes in their order.
    ui->cmbReplayGain->setCurrentIndex(static_cast<int>(choices.ReplayGain));
    ui->chkVerifyOutputs->setChecked(choices.Verify);
    ui->chkSplitEmbeddedSheets->setChecked(choices.Split);
    ui->formatOptions->Show(choices.Options);
    jobs_ = choices.Jobs;
    storeNotices_ = choices.Notices;
}

ConverterChoices OptionsForm::Choices() const {
    ConverterChoices choices;
    choices.Target = TargetFormat();
    choices.ToThisFolder = ui->chkToThisFold->isChecked();
    choices.Folder = ui->txtToFolder->text().toStdString();
    choices.Jobs = jobs_;
    choices.KeepTree = ui->chkKeepTree->isChecked();
    choices.BaseFolder = ui->txtBaseFolder->text().toStdString();
    choices.NamePattern = ui->txtNamePattern->text().toStdString();
    choices.SafeNames = ui->chkSafeNames->isChecked();
    choices.CoverSize = static_cast<uint32_t>(ui->spnCoverSize->value());
    choices.FolderCover = ui->chkFolderCover->isChecked();
    choices.Mirror = ui->chkMirror->isChecked();
    choices.MirrorExtras = ui->txtMirrorExtras->text().toStdString();
    choices.ReplayGain = static_cast<ReplayGainMode>(ui->cmbReplayGain->currentIndex());
    choices.Verify = ui->chkVerifyOutputs->isChecked();
    choices.Split = ui->chkSplitEmbeddedSheets->isChecked();
    ui->formatOptions->ApplyTo(choices.Options);
    choices.Notices = storeNotices_;
    return choices;
}

uint8_t OptionsForm::TargetFormat() const {
    return static_cast<uint8_t>(formatGroup_->checkedId());
}

DestinationSettings OptionsForm::Destination() const {
    DestinationSettings destination =
        DestinationSettings::Into(ui->txtToFolder->text().toStdString(), TargetFormat());
    destination.SameFolder = ui->optToDefPath->isChecked();
    destination.NamePattern = ui->txtNamePattern->text().toStdString();
    destination.BaseFolder = ui->txtBaseFolder->text().toStdString();
    destination.SafeNames = ui->chkSafeNames->isChecked();
    return destination;
}

// --- The conversion list ---------------------------------------------------------------------

void OptionsForm::ClearConvertList() {
    ui->lstConvert->clear();
    UpdateNamePreview();
}

void OptionsForm::AddConvertRow(const ConvertRow& row) {
    auto* item = new QTreeWidgetItem(ui->lstConvert);
    item->setText(0, Text(row.caption));
    item->setText(1, Text(row.typeDescription));
    item->setText(ExtensionColumn, Text(row.extension));
    item->setText(PathColumn, Text(row.fullPath));
    item->setToolTip(0, Text(row.fullPath));
    item->setData(0, SubFolderRole, QByteArray::fromStdString(row.subFolder));
    item->setData(0, PartRole, QVariant::fromValue(row.part));
    // The bytes as given: a name that is not valid UTF-8 must still reach the worker intact.
    item->setData(0, Qt::UserRole, QByteArray::fromStdString(row.fullPath));
    item->setIcon(0, FileIconCache::Shared().IconFor(row.extension));
    // Only the first row is previewed: a long list is not planned row by row as it fills.
    if (RowCount() == 1) {
        UpdateNamePreview();
    }
}

std::vector<std::string> OptionsForm::InputPaths() const {
    std::vector<std::string> paths;
    paths.reserve(RowCount());
    for (uint32_t row = 0; row < RowCount(); ++row) {
        paths.push_back(InputPath(row));
    }
    return paths;
}

uint32_t OptionsForm::RowCount() const {
    return static_cast<uint32_t>(ui->lstConvert->topLevelItemCount());
}

std::string OptionsForm::InputPath(uint32_t row) const {
    const QTreeWidgetItem* item = ui->lstConvert->topLevelItem(static_cast<int>(row));
    return item ? item->data(0, Qt::UserRole).toByteArray().toStdString() : std::string();
}

JobOrder OptionsForm::Order() const {
    return OrderOf(RowCount());
}

JobOrder OptionsForm::OrderOf(uint32_t rows) const {
    JobOrder order{{}, {}, Choices(), waveFormat_, Destination(), ui->chkKeepTree->isChecked(), {}};
    order.Inputs.reserve(rows);
    order.SubFolders.reserve(rows);
    for (uint32_t row = 0; row < rows; ++row) {
        const QTreeWidgetItem* item = ui->lstConvert->topLevelItem(static_cast<int>(row));
        order.Inputs.push_back(InputPath(row));
        order.SubFolders.push_back(item->data(0, SubFolderRole).toByteArray().toStdString());
        order.Parts.push_back(item->data(0, PartRole).value<std::optional<RowPart>>());
    }
    return order;
}

void OptionsForm::KeepColumnWidths() {
    TypeWidth.Save(ui->lstConvert->columnWidth(TypeColumn));
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
    if (job_->Running()) {
        return; // shown again while its job runs: it stays in the progress view
    }
    LeavingForm = false;
    job_->ForgetCancel();
    ShowOptionsView();
}

void OptionsForm::ShowOptionsView() {
    ui->cmdCancel->setEnabled(true);
    ui->panOptions->show();
    ui->panProgress->hide();
    ui->cmdConvert->setEnabled(true);
}

void OptionsForm::ShowProgressView() {
    ui->cmdCancel->setEnabled(true);
    ui->panOptions->hide();
    ui->panProgress->show();
    ui->cmdConvert->setEnabled(false);
}

void OptionsForm::UpdateDestControls() {
    const bool chosenFolder = ui->chkToThisFold->isChecked();
    ui->txtToFolder->setEnabled(chosenFolder);
    ui->cmdBrowse->setEnabled(chosenFolder);
    ui->chkKeepTree->setEnabled(chosenFolder);
    // The naming controls name outputs below the chosen folder only.
    for (QWidget* naming : std::initializer_list<QWidget*>{
             ui->lblBaseFolder, ui->txtBaseFolder, ui->cmdBrowseBaseFolder, ui->lblNamePattern,
             ui->txtNamePattern, ui->lblNamePreview, ui->chkSafeNames}) {
        naming->setEnabled(chosenFolder);
    }
    // A mirror keeps the chosen folder in step; its extras count only with it.
    ui->chkMirror->setEnabled(chosenFolder);
    for (QWidget* extras :
         std::initializer_list<QWidget*>{ui->lblMirrorExtras, ui->txtMirrorExtras}) {
        extras->setEnabled(chosenFolder && ui->chkMirror->isChecked());
    }
    UpdateNamePreview();
}

// The first file's output as its job would plan it, below the chosen folder when it goes there.
void OptionsForm::UpdateNamePreview() {
    if (RowCount() == 0) {
        ui->lblNamePreview->SetFullText(QString());
        return;
    }
    const JobOrder first = OrderOf(1);
    const PlannedJob planned = first.Planned();
    // A pattern half typed says what is wrong with it, as Convert would.
    if (const std::string refusal = planned.NamingRefusal(); !refusal.empty()) {
        ui->lblNamePreview->SetFullText(Text(refusal));
        return;
    }
    const std::string output = planned.Plan().Rows().front().Output;
    std::string folder = first.Destination.Folder;
    WithTrailingSlash(folder);
    const bool below = !first.Destination.SameFolder && output.starts_with(folder);
    ui->lblNamePreview->SetFullText(QStringLiteral("First file: ") +
                                    Text(below ? output.substr(folder.size()) : output));
}

void OptionsForm::UpdateFormatPanel() {
    const uint8_t target = TargetFormat();
    const FormatInfo* format = FindTargetFormat(target);
    ui->lblFormatDescription->setText(Text(format->Description));
    if (format->TextOption) {
        ShowWaveFormat();
    }
    ui->formatOptions->ShowFor(target);
}

void OptionsForm::ShowWaveFormat() {
    WAVEFORMATEX head{};
    std::memcpy(&head, waveFormat_.data(), sizeof head);
    // A name or description that cannot be given leaves its line as it was.
    const QString name =
        head.wFormatTag == WAVE_FORMAT_PCM
            ? QStringLiteral("Standard Wave File")
            : QString::fromLatin1(WaveFormatCatalog::TagName(head.wFormatTag).c_str());
    // Only the head is described: the stored record's extra bytes say nothing the line shows.
    const std::string details =
        WaveFormatCatalog::Describe(std::span(waveFormat_.data(), sizeof head));
    ui->formatOptions->ShowTextChoice(name, QString::fromLatin1(details.c_str()));
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

void OptionsForm::ChooseWaveFormat() {
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

void OptionsForm::cmdBrowseBaseFolderClick() {
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Library folder"),
                                                             ui->txtBaseFolder->text());
    if (!folder.isEmpty()) {
        ui->txtBaseFolder->setText(folder);
    }
}

void OptionsForm::cmdConvertClick() {
    if (job_->Running()) {
        return;
    }
    const bool ready = job_->Ready(Order());
    // Keeping the tree was the answer to clashing outputs: the box shows it, whatever followed.
    if (job_->FolderTreeChosen()) {
        ui->chkKeepTree->setChecked(true);
    }
    if (!ready) {
        return;
    }
    ShowProgressView();
    const JobDriver::Next next = job_->Run();
    LeavingForm = true;
    if (next == JobDriver::Next::EndProgram) {
        OnEndProgram();
    } else {
        BackToSelector();
    }
    // The closing boxes carried the job's last title; the window gets its name back.
    ApplicationTitle::Restore();
}

void OptionsForm::cmdCancelClick() {
    if (ui->cmdConvert->isEnabled()) {
        LeavingForm = true;
        BackToSelector();
        return;
    }
    job_->AskToCancel();
}

void OptionsForm::BackToSelector() {
    if (OnBackToSelector) {
        OnBackToSelector();
    }
    hide();
}

void OptionsForm::closeEvent(QCloseEvent* event) {
    if (job_->Running() && !job_->Quitting()) {
        // The window stays with its job: the answer only decides whether the job stops, and a
        // stopped job returns to the file selector as after "<< Back".
        event->ignore();
        job_->AskToCancel();
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
