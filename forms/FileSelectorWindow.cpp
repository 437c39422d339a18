#include "forms/FileSelectorWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include "catalog/InputNames.h"
#include "forms/AboutBox.h"
#include "forms/AppMessage.h"
#include "forms/BusyCursor.h"
#include "forms/FileIconCache.h"
#include "forms/FileListWindow.h"
#include "forms/FormPictures.h"
#include "forms/FormatControls.h"
#include "forms/OptionsForm.h"
#include "forms/PageOpener.h"
#include "forms/StateImageDelegate.h"
#include "forms/WindowActivation.h"
#include "selector/FileRow.h"
#include "selector/PaneLayout.h"
#include "system/AppPaths.h"
#include "system/FileNames.h"
#include "system/FileTypes.h"
#include "system/HandOverChannel.h"
#include "system/HandOverPaths.h"
#include "system/HelpPages.h"
#include "ui_FileSelectorWindow.h"

namespace {
using Part = StateImageDelegate::Part;
constexpr int StateRole = StateImageDelegate::StateRole;
constexpr int SizeColumn = 1;
constexpr int TypeColumn = 2;
constexpr int ExtensionColumn = 3;
constexpr int PathRole = Qt::UserRole + 2;
constexpr int SortableColumns = 3;
constexpr int TimerInterval = 100; // ms
// While the list to convert is built, the windows repaint (and the timer runs) this often.
constexpr qint64 EventInterval = 50; // ms
constexpr int CaptionTop = 4;
constexpr int KeyBarHeight = 41;
// Between Next and the window's right edge.
constexpr int NextRightMargin = 6;
constexpr int BoxesPerRow = 4;

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Gives an item the mark state and the key's caption of it as its description.
void ShowMark(QTreeWidgetItem* item, int state) {
    if (item->data(0, StateRole).toInt() != state) {
        item->setData(0, StateRole, state);
        item->setData(0, Qt::AccessibleDescriptionRole, Text(MarkCaption(state)));
    }
}

// The desktop's closed folder, and the open one while the folder is selected.
QIcon FolderIcon(const QIcon& closed, const QIcon& open) {
    QIcon icon;
    for (const int size : {16, 32}) {
        icon.addPixmap(closed.pixmap(size), QIcon::Normal);
        icon.addPixmap(open.pixmap(size), QIcon::Selected);
    }
    return icon;
}

// "Size" as it has always been, or wider when a large font needs it for six digits: the user's
// width is kept once there is one.
int DefaultSizeWidth(const QTreeWidget& list) {
    const int margin = list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
    const QString widest = Text(FileSizeText(std::uint64_t{999'000} * 1024));
    return std::max(75, list.fontMetrics().horizontalAdvance(widest) + 2 * margin);
}

bool IsPlainKey(const QKeyEvent* key, Qt::Key which) {
    return key->key() == which && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}
} // namespace

FileSelectorWindow::FileSelectorWindow(const FolderTree::Locations& locations, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FileSelectorWindow>()), model_(locations),
      settings_(SelectorSettings::Load()) {
    ui->setupUi(this);
    setWindowIcon(FormPictures::Icon(QStringLiteral("brindlex.svg")));
    OnEndProgram = [] { QCoreApplication::quit(); };
    model_.ShowHiddenFolders(settings_.showHiddenFolders);
    wantedDivider_ = settings_.dividerLeft;
    designedDivider_ = ui->panResizeBar->x();
    imgState = StateImageList(ui->treeFolders->palette());
    cursors_ = std::make_unique<SelectorCursors>(imgState, devicePixelRatioF());
    SetUpControls();
    SetUpActions();
    ShowKey();
    AddTopLevelItems(locations.home);
    ShowTree();
    ShowFiles();

    auto* timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("tmrHandOver"));
    timer->setInterval(TimerInterval);
    connect(timer, &QTimer::timeout, this, &FileSelectorWindow::tmrHandOverTimer);
    timer->start();
    FormResize();
}

FileSelectorWindow::~FileSelectorWindow() {
    SaveSettings();
}

void FileSelectorWindow::SaveSettings() {
    settings_.showHiddenFolders = model_.ShowsHiddenFolders();
    if (barMoved_) {
        settings_.dividerLeft = ui->panResizeBar->x();
    }
    settings_.listColumns = {ui->lstFiles->header()->sectionSize(SizeColumn),
                             ui->lstFiles->header()->sectionSize(TypeColumn)};
    settings_.SaveSelectorView();
}

void FileSelectorWindow::Attach(OptionsForm& options, FileListWindow& fileList) {
    options_ = &options;
    fileList_ = &fileList;
}

void FileSelectorWindow::SetUpControls() {
    const std::pair<QAbstractButton*, const char*> pictures[] = {
        {ui->cmdExit, "exit.svg"},
        {ui->cmdHelp, "help.svg"},
        {ui->cmdAbout, "about.svg"},
        {ui->cmdNext, "next.svg"},
    };
    for (const auto& [button, picture] : pictures) {
        button->setIcon(FormPictures::Icon(QLatin1String(picture)));
    }
    QFileIconProvider icons;
    folderIcon_ = FolderIcon(icons.icon(QAbstractFileIconProvider::Folder),
                             style()->standardIcon(QStyle::SP_DirOpenIcon));
    driveIcon_ = icons.icon(QAbstractFileIconProvider::Drive);
    SetUpTypeBoxes();
    SetUpPanes();
    SetUpViews();
    setAcceptDrops(true);
    connect(&watch_, &FolderWatch::changed, this, &FileSelectorWindow::FoldersChanged);

    ui->panResizeBar->installEventFilter(this);
    ui->panWork->installEventFilter(this);
    connect(ui->cmdNext, &QToolButton::clicked, this, &FileSelectorWindow::cmdNextClick);
    connect(ui->cmdHelp, &QToolButton::clicked, this, &FileSelectorWindow::cmdHelpClick);
    connect(ui->cmdAbout, &QToolButton::clicked, this, &FileSelectorWindow::cmdAboutClick);
    connect(ui->cmdExit, &QToolButton::clicked, this, &FileSelectorWindow::cmdExitClick);
}

// A "Convert [From]" box per format listed, and one for cue sheets after them, ticked as the user
// left it, in rows of four and in the tab order between the file list and Next. Each shows or
// hides its files.
void FileSelectorWindow::SetUpTypeBoxes() {
    QWidget* previous = ui->lstFiles;
    for (const FormatInfo* format : BoxFormats()) {
        // A listed format's first extension is always one of its type.
        previous = AddTypeBox(Text(format->FilesName) + QStringLiteral(" File(s)"),
                              FormatControlName("chkFrom", *format),
                              AudioFileTypeOf(format->InputExtensions.front()).value(), format->Key,
                              previous);
    }
    // Alt+C: no other box has a mnemonic, and nothing else in the window takes that one.
    previous = AddTypeBox(QLatin1Char('&') + Text(CueSheetFilesName) + QStringLiteral(" File(s)"),
                          QStringLiteral("chkFromCue"), CueSheetFileType(), CueSheetKey, previous);
    setTabOrder(previous, ui->cmdNext);
}

// The state, not the click: a screen reader's toggle changes what is listed just the same.
QCheckBox* FileSelectorWindow::AddTypeBox(const QString& text, const QString& name,
                                          ShownFileType type, std::string_view key,
                                          QWidget* previous) {
    auto* box = new QCheckBox(text, ui->grpConvertFrom);
    box->setObjectName(name);
    box->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    const int place = ui->typeBoxes->count();
    ui->typeBoxes->addWidget(box, place / BoxesPerRow, place % BoxesPerRow);
    setTabOrder(previous, box);
    const bool ticked = !settings_.untickedTypeBoxes.contains(key);
    box->setChecked(ticked);
    model_.SetTypeShown(type, ticked);
    connect(box, &QCheckBox::toggled, this, [this, type, key](bool shown) {
        if (shown) {
            settings_.untickedTypeBoxes.erase(std::string(key));
        } else {
            settings_.untickedTypeBoxes.emplace(key);
        }
        SetTypeShown(type, shown);
    });
    return box;
}

// The group box and the caption bars grow with the font, and the window stays wide enough for
// the group box and Next beside it; the rest is FormResize's.
void FileSelectorWindow::SetUpPanes() {
    QGroupBox* types = ui->grpConvertFrom;
    types->resize(types->size().expandedTo(types->sizeHint()));
    ui->panToolBar->setFixedHeight(
        std::max(ui->panToolBar->height(), types->y() + types->height() + 3));
    const int besideNext = types->x() - ui->cmdAbout->geometry().right();
    ui->panToolBar->setMinimumWidth(types->geometry().right() + besideNext + ui->cmdNext->width() +
                                    NextRightMargin);
    const int caption = std::max(ui->panAboveFileList->height(), fontMetrics().height() + 4);
    const int viewTop = CaptionTop + caption + 2;
    for (QWidget* bar :
         {static_cast<QWidget*>(ui->panAboveFileList), static_cast<QWidget*>(ui->panLocation)}) {
        bar->setGeometry(bar->x(), CaptionTop, bar->width(), caption);
    }
    for (QWidget* pane :
         {static_cast<QWidget*>(ui->treeFolders), static_cast<QWidget*>(ui->panResizeBar),
          static_cast<QWidget*>(ui->lstFiles)}) {
        pane->move(pane->x(), viewTop);
    }
}

// Both views draw the marks in front of their items, follow the pointer for its shape, and let
// this form see their mouse and keys first.
void FileSelectorWindow::SetUpViews() {
    for (QTreeWidget* view : {ui->treeFolders, ui->lstFiles}) {
        view->setItemDelegate(new StateImageDelegate(imgState, view));
        view->setIconSize(QSize(16, 16));
        // Long paths give way in their middle: both ends stay readable.
        view->setTextElideMode(Qt::ElideMiddle);
        view->viewport()->setMouseTracking(true);
        view->viewport()->installEventFilter(this);
        view->installEventFilter(this);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](QPoint pos) { ShowContextMenu(view, pos); });
    }
    ui->treeFolders->setFocus();
    connect(ui->treeFolders, &QTreeWidget::currentItemChanged, this,
            &FileSelectorWindow::treeFoldersChange);
    connect(ui->treeFolders, &QTreeWidget::itemExpanded, this,
            &FileSelectorWindow::treeFoldersExpanding);
    connect(ui->treeFolders, &QTreeWidget::itemCollapsed, this,
            &FileSelectorWindow::treeFoldersCollapsed);
    SetUpListColumns();
}

// "Name" takes what the window gives; the others keep the widths the user gave them.
void FileSelectorWindow::SetUpListColumns() {
    QTreeWidget* list = ui->lstFiles;
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(40);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    list->setColumnWidth(SizeColumn, settings_.listColumns[0] > 0 ? settings_.listColumns[0]
                                                                  : DefaultSizeWidth(*list));
    list->setColumnWidth(TypeColumn, settings_.listColumns[1] > 0 ? settings_.listColumns[1] : 110);
    list->setColumnHidden(ExtensionColumn, true);
    list->headerItem()->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setSortIndicatorShown(true);
    connect(header, &QHeaderView::sectionClicked, this, &FileSelectorWindow::lstFilesColumnClick);
}

// F5 and Ctrl+H anywhere in the window, and the same two in the views' context menus.
void FileSelectorWindow::SetUpActions() {
    refreshAction_ = new QAction(QStringLiteral("&Refresh"), this);
    refreshAction_->setObjectName(QStringLiteral("actRefresh"));
    refreshAction_->setShortcut(QKeySequence::Refresh);
    connect(refreshAction_, &QAction::triggered, this, &FileSelectorWindow::RefreshClick);
    hiddenAction_ = new QAction(QStringLiteral("Show &Hidden Folders"), this);
    hiddenAction_->setObjectName(QStringLiteral("actShowHidden"));
    hiddenAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    hiddenAction_->setCheckable(true);
    hiddenAction_->setChecked(model_.ShowsHiddenFolders());
    connect(hiddenAction_, &QAction::toggled, this, &FileSelectorWindow::ShowHiddenClick);
    addActions({refreshAction_, hiddenAction_});
}

// The menu opens with its first entry chosen, so Enter takes it at once.
void FileSelectorWindow::ShowContextMenu(QWidget* view, QPoint pos) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuFolders"));
    menu.addAction(refreshAction_);
    menu.addAction(hiddenAction_);
    menu.setActiveAction(refreshAction_);
    menu.exec(qobject_cast<QAbstractScrollArea*>(view)->viewport()->mapToGlobal(pos));
}

// The key bar: each picture followed by the caption of its mark.
void FileSelectorWindow::ShowKey() {
    QLabel* const pictures[] = {ui->imgKeyToSelected, ui->imgKeyContainsFiles, ui->imgKeyFully,
                                ui->imgKeyJustFiles,  ui->imgKeyFileConverted, ui->imgKeyNone};
    QLabel* const captions[] = {ui->lblKeyToSelected, ui->lblKeyContainsFiles, ui->lblKeyFully,
                                ui->lblKeyJustFiles,  ui->lblKeyFileConverted, ui->lblKeyNone};
    const QSize size(StateImageList::ImageSize, StateImageList::ImageSize);
    for (std::size_t k = 0; k < KeyBarStates.size(); ++k) {
        pictures[k]->setPixmap(imgState.Icon(KeyBarStates[k]).pixmap(size, devicePixelRatioF()));
        captions[k]->setText(Text(MarkCaption(KeyBarStates[k])));
        // Room between one caption and the next picture.
        pictures[k]->setContentsMargins(k >= 2 ? 14 : 0, 0, 0, 0);
    }
    // As tall as the captions, and the window never so narrow that they are cut.
    ui->panKey->setFixedHeight(std::max(KeyBarHeight, ui->panKey->sizeHint().height()));
    ui->panWork->setMinimumWidth(ui->panKey->sizeHint().width());
}

// The state images follow the palette (dark boxes on a dark one), in the views, the key and the
// pointer shapes.
void FileSelectorWindow::ShowPictures() {
    imgState = StateImageList(ui->treeFolders->palette());
    cursors_ = std::make_unique<SelectorCursors>(imgState, devicePixelRatioF());
    ShowKey();
    ui->treeFolders->viewport()->update();
    ui->lstFiles->viewport()->update();
}

void FileSelectorWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        ShowPictures();
    }
}

// --- Layout ----------------------------------------------------------------------------------

void FileSelectorWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void FileSelectorWindow::FormResize() {
    QWidget* work = ui->panWork;
    QWidget* key = ui->panKey;
    key->setGeometry(0, work->height() - key->height(), work->width(), key->height());
    const PaneHeights heights =
        FormResizeHeights(work->height(), ui->treeFolders->y(), ui->lstFiles->y(), key->height());
    const int listHeight = std::max(0, heights.listHeight);
    ui->treeFolders->resize(ui->treeFolders->width(), std::max(0, heights.treeHeight));
    ui->lstFiles->resize(std::max(0, FormResizeListWidth(work->width(), ui->lstFiles->x())),
                         listHeight);
    ui->panResizeBar->resize(ui->panResizeBar->width(), listHeight);
    ui->panLocation->resize(std::max(0, ui->lstFiles->width() - 2), ui->panLocation->height());
    ui->cmdNext->move(ui->panToolBar->width() - ui->cmdNext->width() - NextRightMargin,
                      ui->cmdNext->y());
    // The stored divider, once the window is wide enough to hold it where it was.
    if (wantedDivider_ > 0 && ClampBarLeft(wantedDivider_, 0, width()) == wantedDivider_) {
        ui->panResizeBar->move(wantedDivider_, ui->panResizeBar->y());
        wantedDivider_ = 0;
        LayoutPanes();
    } else if (settings_.dividerLeft == 0 && !barMoved_) {
        FitFolderPane();
    }
}

// Until the user places the divider, the folder pane is as wide as the names it shows need, up to
// a third of the window.
void FileSelectorWindow::FitFolderPane() {
    QTreeWidget* tree = ui->treeFolders;
    // The view's own measure of its widest shown item, indentation included (protected in
    // QTreeView, public in its base).
    const QAbstractItemView* view = tree;
    const int widest = view->sizeHintForColumn(0) + 2 * tree->frameWidth() +
                       tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tree);
    const int left = OpeningBarLeft(designedDivider_, tree->x(), width(), widest);
    if (left != ui->panResizeBar->x()) {
        ui->panResizeBar->move(left, ui->panResizeBar->y());
        LayoutPanes();
    }
}

void FileSelectorWindow::LayoutPanes() {
    QWidget* list = ui->lstFiles;
    const PaneColumns columns = ::LayoutPanes(ui->panResizeBar->x(), ui->panResizeBar->width(),
                                              ui->treeFolders->x(), list->x() + list->width());
    ui->treeFolders->resize(columns.treeWidth, ui->treeFolders->height());
    ui->panAboveFileList->resize(columns.foldersCaption, ui->panAboveFileList->height());
    list->setGeometry(columns.listLeft, list->y(), std::max(0, columns.listWidth), list->height());
    ui->panLocation->setGeometry(columns.locationLeft, ui->panLocation->y(),
                                 std::max(0, columns.locationWidth), ui->panLocation->height());
}

void FileSelectorWindow::panResizeBarMouseDown(QMouseEvent* event) {
    barDragging_ = true;
    barMoved_ = true;
    wantedDivider_ = 0;
    grabOffset_ = event->position().toPoint().x();
}

void FileSelectorWindow::panResizeBarMouseMove(QMouseEvent* event) {
    const int formX = mapFromGlobal(event->globalPosition().toPoint()).x();
    const int left = ClampBarLeft(formX, grabOffset_, width()) - ui->panWork->x();
    ui->panResizeBar->move(left, ui->panResizeBar->y());
    LayoutPanes();
}

// --- Events ----------------------------------------------------------------------------------

bool FileSelectorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->treeFolders->viewport() || watched == ui->treeFolders) {
        return TreeEvent(event);
    }
    if (watched == ui->lstFiles->viewport() || watched == ui->lstFiles) {
        return ListEvent(event);
    }
    if (watched == ui->panResizeBar) {
        return ResizeBarEvent(event);
    }
    if (watched == ui->panWork && event->type() == QEvent::Resize) {
        FormResize();
    }
    return false;
}

bool FileSelectorWindow::TreeEvent(QEvent* event) {
    QTreeWidget* tree = ui->treeFolders;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) {
            return false;
        }
        const Part part = StateImageDelegate::PartAt(*tree, mouse->position().toPoint());
        if (part == Part::StateImage) {
            // Each press is a click on the mark (a double click brings two); the view sees none
            // of them, so the folder neither expands nor starts a drag.
            if (event->type() == QEvent::MouseButtonPress) {
                treeFoldersMouseDown(mouse);
            }
            return true;
        }
        // A double click on the folder's icon does not expand it either.
        return event->type() == QEvent::MouseButtonDblClick && part == Part::Icon;
    }
    case QEvent::MouseMove:
        treeFoldersMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
        return false;
    case QEvent::KeyPress:
        return treeFoldersKeyDown(static_cast<QKeyEvent*>(event));
    default:
        return false;
    }
}

bool FileSelectorWindow::ListEvent(QEvent* event) {
    QTreeWidget* list = ui->lstFiles;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        QModelIndex index;
        const QPoint pos = mouse->position().toPoint();
        if (mouse->button() != Qt::LeftButton ||
            StateImageDelegate::PartAt(*list, pos, &index) != Part::StateImage) {
            return false;
        }
        const QRect box = StateImageDelegate::StateImageRect(list->visualRect(index));
        if (!IsOnFileStateBox(pos.x() - box.left(), pos.y() - box.top())) {
            return false;
        }
        // Each press is a click on the mark; the selection stays as it is, since a click on a box
        // acts on the selected rows.
        if (event->type() == QEvent::MouseButtonPress) {
            lstFilesMouseDown(mouse);
        }
        return true;
    }
    case QEvent::MouseMove:
        lstFilesMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
        return false;
    case QEvent::KeyPress:
        return lstFilesKeyDown(static_cast<QKeyEvent*>(event));
    default:
        return false;
    }
}

bool FileSelectorWindow::ResizeBarEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        panResizeBarMouseDown(static_cast<QMouseEvent*>(event));
        panResizeBarMouseMove(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseMove:
        if (barDragging_) {
            panResizeBarMouseMove(static_cast<QMouseEvent*>(event));
        }
        return true;
    case QEvent::MouseButtonRelease:
        barDragging_ = false;
        return true;
    default:
        return false;
    }
}

void FileSelectorWindow::treeFoldersMouseDown(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    QModelIndex index;
    StateImageDelegate::PartAt(*ui->treeFolders, pos, &index);
    if (QTreeWidgetItem* item = ui->treeFolders->itemFromIndex(index)) {
        ui->treeFolders->setFocus(Qt::MouseFocusReason);
        ClickFolderMark(item);
    }
    treeFoldersMouseMove(pos);
}

void FileSelectorWindow::treeFoldersMouseMove(QPoint pos) {
    QModelIndex index;
    const Part part = StateImageDelegate::PartAt(*ui->treeFolders, pos, &index);
    const FolderNode* node = NodeOf(ui->treeFolders->itemFromIndex(index));
    SetCursor(ui->treeFolders->viewport(),
              part == Part::StateImage && node ? FolderMarkCursor(node->state) : crDefault);
}

void FileSelectorWindow::lstFilesMouseDown(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = ui->lstFiles->indexAt(pos);
    ui->lstFiles->setFocus(Qt::MouseFocusReason);
    ui->lstFiles->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    ClickFileMark(index.row());
    lstFilesMouseMove(pos);
}

void FileSelectorWindow::lstFilesMouseMove(QPoint pos) {
    QTreeWidget* list = ui->lstFiles;
    const std::size_t selected = SelectedRows().size();
    if (selected >= 2) {
        return; // the pointer keeps whatever shape it has
    }
    QModelIndex index;
    if (StateImageDelegate::PartAt(*list, pos, &index) == Part::StateImage) {
        const QRect box = StateImageDelegate::StateImageRect(list->visualRect(index));
        if (IsOnFileStateBox(pos.x() - box.left(), pos.y() - box.top())) {
            const auto row = static_cast<std::size_t>(index.row());
            SetCursor(list->viewport(), FileMarkCursor(model_.FileMarkOf(row), selected).value());
            return;
        }
    }
    SetCursor(list->viewport(), crDefault);
}

// Space marks as a click on the state image does. Right, + and * expand (Qt's keys for the first
// two); * opens the folder and every folder below it that was opened before, not the whole disk.
bool FileSelectorWindow::treeFoldersKeyDown(QKeyEvent* event) {
    QTreeWidgetItem* current = ui->treeFolders->currentItem();
    if (!current) {
        return false;
    }
    if (IsPlainKey(event, Qt::Key_Space)) {
        ClickFolderMark(current);
        return true;
    }
    if (event->key() == Qt::Key_Asterisk) {
        ExpandAllBelow(current);
        return true;
    }
    return false;
}

bool FileSelectorWindow::lstFilesKeyDown(QKeyEvent* event) {
    const int row = CurrentRow();
    if (row < 0 || !IsPlainKey(event, Qt::Key_Space)) {
        return false;
    }
    ClickFileMark(row);
    return true;
}

// --- The tree --------------------------------------------------------------------------------

void FileSelectorWindow::treeFoldersChange(QTreeWidgetItem* current) {
    if (changingTree_) {
        return;
    }
    {
        BusyCursor busy;
        model_.SelectFolder(NodeOf(current));
    }
    ShowFiles();
}

// Qt reports an expansion once it is done; the sub-folders are added at once, before anything is
// painted, so this is where a folder is opened the first time.
void FileSelectorWindow::treeFoldersExpanding(QTreeWidgetItem* item) {
    FolderNode* node = NodeOf(item);
    if (changingTree_ || !node) {
        return;
    }
    {
        BusyCursor busy;
        model_.ExpandFolder(*node);
    }
    watch_.Watch(Text(node->path));
    ShowTree();
    ShowSelectedNode();
    ShowFiles();
}

void FileSelectorWindow::treeFoldersCollapsed(QTreeWidgetItem* item) {
    if (const FolderNode* node = NodeOf(item)) {
        watch_.Unwatch(Text(node->path));
    }
}

void FileSelectorWindow::ExpandAllBelow(QTreeWidgetItem* item) {
    item->setExpanded(true); // loads it, as any expansion does
    QScopedValueRollback<bool> quiet(changingTree_, true);
    std::vector<QTreeWidgetItem*> pending{item};
    while (!pending.empty()) {
        QTreeWidgetItem* next = pending.back();
        pending.pop_back();
        for (int i = 0; i < next->childCount(); ++i) {
            QTreeWidgetItem* child = next->child(i);
            if (NodeOf(child)->childrenLoaded) {
                child->setExpanded(true);
                watch_.Watch(Text(NodeOf(child)->path));
                pending.push_back(child);
            }
        }
    }
}

void FileSelectorWindow::ClickFolderMark(QTreeWidgetItem* item) {
    FolderNode* node = NodeOf(item);
    if (!node) {
        return;
    }
    {
        BusyCursor busy;
        model_.ClickFolderMark(*node);
    }
    ShowTree();
    ShowSelectedNode();
    ShowFiles();
}

// The root and the volumes stand for drives; the home folder is a folder.
void FileSelectorWindow::AddTopLevelItems(std::string home) {
    WithTrailingSlash(home);
    QList<QTreeWidgetItem*> items;
    for (const auto& node : model_.Tree().TopLevel()) {
        const bool isHome = node->path == home && !items.isEmpty();
        items.append(NewFolderItem(*node, isHome ? folderIcon_ : driveIcon_));
    }
    ui->treeFolders->addTopLevelItems(items);
}

void FileSelectorWindow::ShowTree() {
    QTreeWidget* tree = ui->treeFolders;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        ShowTreeItem(tree->topLevelItem(i));
    }
}

void FileSelectorWindow::ShowTreeItem(QTreeWidgetItem* item) {
    const FolderNode& node = *NodeOf(item);
    ShowMark(item, node.state);
    item->setHidden(!model_.IsShown(node));
    SyncChildItems(item, node);
    item->setChildIndicatorPolicy(model_.ShowsExpandButton(node)
                                      ? QTreeWidgetItem::ShowIndicator
                                      : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    for (int i = 0; i < item->childCount(); ++i) {
        ShowTreeItem(item->child(i));
    }
}

// Makes item's child items stand for node's children, in their order: the items of nodes that
// went (a re-reading found their folders gone) go with their own; new nodes get items in their
// places; the others stay as they are, opened or not.
void FileSelectorWindow::SyncChildItems(QTreeWidgetItem* item, const FolderNode& node) {
    const std::size_t count = node.children.size();
    bool same = static_cast<std::size_t>(item->childCount()) == count;
    for (std::size_t i = 0; same && i < count; ++i) {
        same = ShowsNode(item->child(static_cast<int>(i)), *node.children[i]);
    }
    if (same) {
        return;
    }
    QSet<const FolderNode*> current;
    for (const auto& child : node.children) {
        current.insert(child.get());
    }
    for (int i = item->childCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* child = item->child(i);
        const auto* key = reinterpret_cast<const FolderNode*>(
            child->data(0, Qt::UserRole).value<quintptr>()); // compared only: it may be gone
        // Only a node still held is looked at.
        if (!current.contains(key) || !ShowsNode(child, *key)) {
            ForgetItem(child);
            delete child;
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        const FolderNode& child = *node.children[i];
        QTreeWidgetItem* at = item->child(static_cast<int>(i));
        if (!at || !ShowsNode(at, child)) {
            item->insertChild(static_cast<int>(i), NewFolderItem(child, folderIcon_));
        }
    }
}

// An item stands for a node when it holds its address and its path: a node made where a gone
// one was may get its address.
bool FileSelectorWindow::ShowsNode(const QTreeWidgetItem* item, const FolderNode& node) {
    return NodeOf(item) == &node && item->data(0, PathRole).toString() == Text(node.path);
}

void FileSelectorWindow::ForgetItem(QTreeWidgetItem* item) {
    for (int i = 0; i < item->childCount(); ++i) {
        ForgetItem(item->child(i));
    }
    const auto* key =
        reinterpret_cast<const FolderNode*>(item->data(0, Qt::UserRole).value<quintptr>());
    if (items_.value(key) == item) {
        items_.remove(key);
    }
    watch_.Unwatch(item->data(0, PathRole).toString());
}

QTreeWidgetItem* FileSelectorWindow::NewFolderItem(const FolderNode& node, const QIcon& icon) {
    auto* item = new QTreeWidgetItem(QStringList(Text(node.text)));
    item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(&node)));
    item->setData(0, PathRole, Text(node.path));
    item->setIcon(0, icon);
    item->setToolTip(0, Text(node.path));
    ShowMark(item, node.state);
    items_.insert(&node, item);
    return item;
}

void FileSelectorWindow::ShowSelectedNode() {
    QTreeWidgetItem* item = ItemOf(model_.Selected());
    if (item != ui->treeFolders->currentItem()) {
        QScopedValueRollback<bool> quiet(changingTree_, true);
        ui->treeFolders->setCurrentItem(item);
    }
}

FolderNode* FileSelectorWindow::NodeOf(const QTreeWidgetItem* item) {
    return item ? reinterpret_cast<FolderNode*>(item->data(0, Qt::UserRole).value<quintptr>())
                : nullptr;
}

QTreeWidgetItem* FileSelectorWindow::ItemOf(const FolderNode* node) const {
    return items_.value(node, nullptr);
}

// --- The file list ---------------------------------------------------------------------------

void FileSelectorWindow::ShowFiles() {
    const FileList& files = model_.Files();
    ui->panLocation->SetFullText(Text(files.LocationCaption()));
    if (files.Revision() == shownRevision_) {
        ShowFileMarks();
        return;
    }
    shownRevision_ = files.Revision();
    QTreeWidget* list = ui->lstFiles;
    list->setUpdatesEnabled(false);
    list->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(files.Size()));
    FileIconCache& icons = FileIconCache::Shared();
    for (const FileRow& row : files.Rows()) {
        auto* item =
            new QTreeWidgetItem(QStringList{Text(row.shownName), Text(row.sizeText),
                                            Text(row.typeDescription), Text(row.extension)});
        item->setIcon(0, icons.IconFor(row.extension));
        item->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
        ShowMark(item, row.state);
        items.append(item);
    }
    list->addTopLevelItems(items);
    const int column = files.SortColumn();
    list->header()->setSortIndicator(column, files.Descending(column) ? Qt::DescendingOrder
                                                                      : Qt::AscendingOrder);
    list->setUpdatesEnabled(true);
}

void FileSelectorWindow::ShowFileMarks() {
    const auto& rows = model_.Files().Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (QTreeWidgetItem* item = ui->lstFiles->topLevelItem(static_cast<int>(i))) {
            ShowMark(item, rows[i].state);
        }
    }
}

void FileSelectorWindow::ClickFileMark(int row) {
    if (row < 0) {
        return;
    }
    model_.ClickFileMark(SelectedRows(), static_cast<std::size_t>(row));
    ShowFileMarks();
    ShowTree();
}

std::vector<std::size_t> FileSelectorWindow::SelectedRows() const {
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : ui->lstFiles->selectionModel()->selectedRows()) {
        rows.push_back(static_cast<std::size_t>(index.row()));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

int FileSelectorWindow::CurrentRow() const {
    const QModelIndex current = ui->lstFiles->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void FileSelectorWindow::lstFilesColumnClick(int column) {
    if (column < 0 || column >= SortableColumns) {
        return;
    }
    model_.SortByColumn(column);
    ShowFiles();
}

void FileSelectorWindow::SetTypeShown(ShownFileType type, bool shown) {
    {
        BusyCursor busy;
        model_.SetTypeShown(type, shown);
    }
    ShowFiles();
}

// --- Pointer shapes --------------------------------------------------------------------------

void FileSelectorWindow::SetCursor(QWidget* viewport, int id) {
    if (viewport->property("cursorId").toInt() == id) {
        return;
    }
    viewport->setProperty("cursorId", id);
    if (id == crDefault) {
        viewport->unsetCursor();
    } else {
        viewport->setCursor(cursors_->Cursor(id));
    }
}

int FileSelectorWindow::CursorShown(const QWidget* viewport) const {
    return viewport->property("cursorId").toInt();
}

// --- Buttons ---------------------------------------------------------------------------------

void FileSelectorWindow::cmdNextClick() {
    if (building_ || !options_ || !fileList_) {
        return;
    }
    fileList_->Clear();
    fileList_->SetCountText(QString());
    fileList_->SetHeading(QStringLiteral("Adding Selected Files"));
    fileList_->show();
    hide();
    BuildConvertList();
    if (fileList_->Count() > 0) {
        options_->show();
        fileList_->hide();
        return;
    }
    // The empty list is no use behind the selector.
    fileList_->hide();
    AppMessage(this, QMessageBox::Information,
               QStringLiteral("No files are selected to be converted."));
    show();
}

// Both lists get each file as it is found, and at the end the whole list in the selector's name
// order. The windows repaint now and then meanwhile, and the timer may take a handed-over file,
// which still joins this list when the build has not passed the single files yet.
void FileSelectorWindow::BuildConvertList() {
    QScopedValueRollback<bool> guard(building_, true);
    options_->ClearConvertList();
    fileList_->Clear();
    std::size_t shown = 0;
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    const auto found = [&](const std::vector<ConvertRow>& rows) {
        if (rows.size() > shown) {
            for (; shown < rows.size(); ++shown) {
                options_->AddConvertRow(rows[shown]);
                fileList_->AddFile(rows[shown]);
            }
            fileList_->SetCountText(QString::number(rows.size()) + QStringLiteral(" Files"));
        }
        if (sinceEvents.elapsed() >= EventInterval) {
            QCoreApplication::processEvents();
            sinceEvents.restart();
        }
    };
    const std::vector<ConvertRow> sorted = model_.BuildConvertList(found);
    options_->ClearConvertList();
    fileList_->Clear();
    for (const ConvertRow& row : sorted) {
        options_->AddConvertRow(row);
        fileList_->AddFile(row);
    }
    fileList_->SetCountText(QString::number(sorted.size()) + QStringLiteral(" Files"));
}

void FileSelectorWindow::cmdHelpClick() {
    const std::string page = AppFolder() + std::string(HelpPage);
    PageOpener::Open(this, QUrl::fromLocalFile(QString::fromStdString(page)));
}

void FileSelectorWindow::cmdAboutClick() {
    AboutBox about(this);
    about.exec();
}

void FileSelectorWindow::cmdExitClick() {
    close();
}

void FileSelectorWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (OnEndProgram) {
        OnEndProgram();
    }
}

// --- The tree follows the disk ---------------------------------------------------------------

void FileSelectorWindow::RefreshClick() {
    if (FolderNode* node = model_.Selected()) {
        RefreshFolder(*node);
    }
}

void FileSelectorWindow::RefreshFolder(FolderNode& node) {
    {
        BusyCursor busy;
        model_.RefreshFolder(node); // node may be gone after this
    }
    QScopedValueRollback<bool> quiet(changingTree_, true);
    ShowTree();
    ShowSelectedNode();
    ShowFiles();
}

// A watched folder changed: its sub-folders (and, when it is the selected one, its files) are
// read again. While the window is hidden (a job runs) that waits until it shows.
void FileSelectorWindow::FoldersChanged(const QStringList& paths) {
    for (const QString& path : paths) {
        if (isHidden()) {
            changedWhileHidden_.insert(path);
        } else if (FolderNode* node = model_.FindFolder(path.toStdString())) {
            RefreshFolder(*node);
        }
    }
}

void FileSelectorWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!changedWhileHidden_.isEmpty()) {
        const QStringList paths(changedWhileHidden_.begin(), changedWhileHidden_.end());
        changedWhileHidden_.clear();
        FoldersChanged(paths);
    }
}

void FileSelectorWindow::ShowHiddenClick(bool shown) {
    model_.ShowHiddenFolders(shown);
    QScopedValueRollback<bool> quiet(changingTree_, true);
    ShowTree();
}

// --- Files and folders dropped onto the window -----------------------------------------------

void FileSelectorWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); })) {
        event->acceptProposedAction();
    }
}

void FileSelectorWindow::dragMoveEvent(QDragMoveEvent* event) {
    event->acceptProposedAction();
}

void FileSelectorWindow::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    TakeDroppedPaths(event->mimeData()->urls());
}

// Each is marked as a hand-over marks it; what a hand-over would refuse is named in one box.
void FileSelectorWindow::TakeDroppedPaths(const QList<QUrl>& urls) {
    std::vector<std::string> paths;
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) {
            paths.push_back(url.toLocalFile().toStdString());
        }
    }
    const HandOverPaths checked = HandOverPaths::Check(paths);
    for (const std::string& path : checked.passable) {
        SelectPassedFile(path);
    }
    if (!checked.refusals.empty()) {
        QStringList lines;
        for (const std::string& refusal : checked.refusals) {
            lines << Text(refusal);
        }
        AppMessage(
            this, QMessageBox::Information,
            Text("Only folders and " + InputFormatNames("and") + " files can be marked.\n\n") +
                lines.join(QLatin1Char('\n')));
    }
}

// --- Files handed over by other launches -----------------------------------------------------

void FileSelectorWindow::tmrHandOverTimer() {
    const std::optional<HandOverMessage> message = ProcessHandOverChannel().TakePassedFile();
    if (!message) {
        return;
    }
    if (!message->path.empty()) {
        SelectPassedFile(message->path);
    }
    BringToFront(FrontWindow(), message->tokens);
    if (OnPassedFile) {
        OnPassedFile(*message);
    }
}

// The window the user works in now: the selector, or the options form that took its place.
QWidget& FileSelectorWindow::FrontWindow() {
    for (QWidget* window : {static_cast<QWidget*>(this), static_cast<QWidget*>(options_),
                            static_cast<QWidget*>(fileList_)}) {
        if (window && window->isVisible()) {
            return *window;
        }
    }
    return *this;
}

void FileSelectorWindow::SelectPassedFile(const std::string& path) {
    FileSelectorModel::PassedFile passed;
    {
        BusyCursor busy;
        passed = model_.SelectPassedFile(path);
    }
    {
        QScopedValueRollback<bool> quiet(changingTree_, true);
        ShowTree();
        for (const FolderNode* node : passed.expanded) {
            if (QTreeWidgetItem* item = ItemOf(node)) {
                item->setExpanded(true);
            }
        }
        ShowSelectedNode();
        if (QTreeWidgetItem* folder = ui->treeFolders->currentItem()) {
            ui->treeFolders->scrollToItem(folder);
        }
    }
    for (const FolderNode* node : passed.expanded) {
        watch_.Watch(Text(node->path));
    }
    ShowFiles();
    if (passed.markedRow) {
        QTreeWidgetItem* row = ui->lstFiles->topLevelItem(static_cast<int>(*passed.markedRow));
        ui->lstFiles->setCurrentItem(row);
        ui->lstFiles->scrollToItem(row);
    }
}
