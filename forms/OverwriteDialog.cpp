#include "forms/OverwriteDialog.h"

#include <QHeaderView>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>

#include "choices/StoredWidth.h"
#include "engine/RenameTable.h"
#include "forms/AppMessage.h"
#include "forms/BaseNameDelegate.h"
#include "forms/FileIconCache.h"
#include "forms/FormPictures.h"
#include "system/FileNames.h"
#include "ui_OverwriteDialog.h"

namespace {
// The smallest client area; the dialog grows where its fonts need more.
constexpr QSize DesignSize(533, 243);
constexpr int TypeColumn = 1;
constexpr int ExtensionColumn = 2;
constexpr int PathColumn = 3;
// The caption as listed, to tell an edited row from an untouched one.
constexpr int ListedCaptionRole = Qt::UserRole + 1;
// The extension's bytes as found: a rename keeps them exactly.
constexpr int ExtensionRole = Qt::UserRole + 2;
const StoredWidth TypeWidth("BrOverwriteTypeWidth");
// The dialog's result for "&Skip These", beside Accepted and Rejected.
constexpr int SkipResult = QDialog::Accepted + 1;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}
} // namespace

OverwriteDialog::OverwriteDialog(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::OverwriteDialog>()) {
    ui->setupUi(this);
    ui->imgOverwrite->setPixmap(
        FormPictures::Pixmap(QStringLiteral("overwrite.svg"), QSize(32, 32), this));
    // Paths give way in their middle, and the name column takes what the type leaves.
    QTreeWidget* list = ui->lstExisting;
    list->setTextElideMode(Qt::ElideMiddle);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list->setColumnWidth(TypeColumn, TypeWidth.Or(150));
    list->setItemDelegateForColumn(0, new BaseNameDelegate(list));
    list->setColumnHidden(ExtensionColumn, true);
    list->setColumnHidden(PathColumn, true);
    list->header()->setSectionsClickable(false);
    list->viewport()->installEventFilter(this);

    renameMenu_ = new QMenu(this);
    renameMenu_->addAction(ui->actRename);
    renameMenu_->setDefaultAction(ui->actRename);
    // F2 renames while the list has the focus.
    list->addAction(ui->actRename);
    ui->actRename->setShortcutContext(Qt::WidgetShortcut);

    connect(ui->actRename, &QAction::triggered, this, &OverwriteDialog::actRenameClick);
    connect(ui->cmdYes, &QPushButton::clicked, this, &OverwriteDialog::cmdYesClick);
    connect(ui->cmdNo, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->cmdSkip, &QPushButton::clicked, this, &OverwriteDialog::cmdSkipClick);
    connect(list, &QTreeWidget::itemChanged, this, &OverwriteDialog::CaptionEdited);

    // The wrapped tip needs its height at the dialog's width, which a window's minimum size
    // leaves out: without it, a larger font lays the tip over the list.
    const int width = std::max(DesignSize.width(), minimumSizeHint().width());
    resize(width, std::max(DesignSize.height(), layout()->totalMinimumHeightForWidth(width)));
}

OverwriteDialog::~OverwriteDialog() {
    TypeWidth.Save(ui->lstExisting->columnWidth(TypeColumn));
}

void OverwriteDialog::ClearFiles() {
    ui->lstExisting->clear();
    renames_.Clear();
    descriptions_ = {}; // a change in the store shows in the next list
}

void OverwriteDialog::AddFile(const std::string& path, bool originalItself) {
    const QString caption = Text(RemoveExtension(path));
    const std::string extension = GetFileExtension(path);
    auto* row = new QTreeWidgetItem(ui->lstExisting);
    row->setText(0, caption);
    const std::string type = descriptions_.Describe(extension);
    // Yes replaces the original itself: the row says so.
    row->setText(TypeColumn, Text(originalItself ? type + " (the original itself)" : type));
    row->setToolTip(0, Text(path));
    row->setText(ExtensionColumn, Text(extension));
    row->setText(PathColumn, Text(path));
    row->setData(0, Qt::UserRole, QByteArray::fromStdString(path));
    row->setData(0, ListedCaptionRole, caption);
    row->setData(0, ExtensionRole, QByteArray::fromStdString(extension));
    row->setIcon(0, FileIconCache::Shared().IconFor(extension));
    row->setFlags(row->flags() | Qt::ItemIsEditable);
}

int OverwriteDialog::Count() const {
    return ui->lstExisting->topLevelItemCount();
}

OverwriteDialog::Answer OverwriteDialog::Ask(std::size_t outputs) {
    const QString count =
        QStringLiteral("%1 of %2 outputs %3 already")
            .arg(Count())
            .arg(outputs)
            .arg(Count() == 1 ? QStringLiteral("exists") : QStringLiteral("exist"));
    ui->lblExistingCount->setText(count);
    ui->lblExistingCount->setAccessibleName(count);
    switch (exec()) {
    case QDialog::Accepted:
        return Answer::Replace;
    case SkipResult:
        return Answer::Skip;
    default:
        return Answer::Cancel;
    }
}

bool OverwriteDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->lstExisting->viewport() && event->type() == QEvent::MouseButtonRelease) {
        lstExistingMouseUp(static_cast<QMouseEvent*>(event));
    }
    return QDialog::eventFilter(watched, event);
}

void OverwriteDialog::lstExistingMouseUp(QMouseEvent* event) {
    if (event->button() != Qt::RightButton || ui->lstExisting->selectedItems().isEmpty()) {
        return;
    }
    renameMenu_->popup(ui->lstExisting->viewport()->mapToGlobal(event->position().toPoint()));
}

void OverwriteDialog::actRenameClick() {
    const QList<QTreeWidgetItem*> selected = ui->lstExisting->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    ui->lstExisting->setFocus();
    ui->lstExisting->editItem(selected.first(), 0);
}

// A new name is shown as the full path it stands for, folder and all.
void OverwriteDialog::CaptionEdited(QTreeWidgetItem* item, int column) {
    const QString caption = item->text(0);
    if (column != 0 || caption.isEmpty() || caption.startsWith(QLatin1Char('/'))) {
        return;
    }
    const std::string output = item->data(0, Qt::UserRole).toByteArray().toStdString();
    // After the view has closed its editor: a change while it commits would reach the editor.
    const QString resolved = Text(ResolveCaption(caption.toStdString(), output));
    QMetaObject::invokeMethod(
        ui->lstExisting,
        [list = ui->lstExisting, item, resolved, caption] {
            if (list->indexOfTopLevelItem(item) >= 0 && item->text(0) == caption) {
                item->setText(0, resolved);
            }
        },
        Qt::QueuedConnection);
}

std::vector<OverwriteRow> OverwriteDialog::Rows() const {
    std::vector<OverwriteRow> rows;
    for (int i = 0; i < Count(); ++i) {
        const QTreeWidgetItem* item = ui->lstExisting->topLevelItem(i);
        const std::string output = item->data(0, Qt::UserRole).toByteArray().toStdString();
        const std::string listed = item->data(0, ListedCaptionRole).toString().toStdString();
        const std::string caption = item->text(0).toStdString();
        const std::string extension = item->data(0, ExtensionRole).toByteArray().toStdString();
        rows.push_back({output, listed, caption, extension});
    }
    return rows;
}

// Both answers that start the job take the new names first; a refused one keeps the dialog open.
bool OverwriteDialog::TakeRenames() {
    const RenameVerdict verdict = CheckRenames(Rows());
    if (verdict.RefusedRow) {
        QTreeWidgetItem* row = ui->lstExisting->topLevelItem(static_cast<int>(*verdict.RefusedRow));
        ui->lstExisting->setCurrentItem(row);
        AppMessage(this, QMessageBox::Warning, Text(verdict.Refusal));
        ui->lstExisting->setFocus();
        return false;
    }
    if (!verdict.Entries.empty()) {
        renames_.Fill(verdict.Entries);
    }
    return true;
}

void OverwriteDialog::cmdYesClick() {
    if (TakeRenames()) {
        accept();
    }
}

void OverwriteDialog::cmdSkipClick() {
    if (TakeRenames()) {
        done(SkipResult);
    }
}
