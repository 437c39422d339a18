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

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}
} // namespace

OverwriteDialog::OverwriteDialog(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::OverwriteDialog>()) {
    ui->setupUi(this);
    ui->Image1->setPixmap(
        FormPictures::Pixmap(QStringLiteral("overwrite.svg"), QSize(32, 32), this));
    // Paths give way in their middle, and the name column takes what the type leaves.
    QTreeWidget* list = ui->ListView1;
    list->setTextElideMode(Qt::ElideMiddle);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list->setColumnWidth(TypeColumn, TypeWidth.Or(150));
    list->setItemDelegateForColumn(0, new BaseNameDelegate(list));
    list->setColumnHidden(ExtensionColumn, true);
    list->setColumnHidden(PathColumn, true);
    list->header()->setSectionsClickable(false);
    list->viewport()->installEventFilter(this);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(ui->Rename1);
    PopupMenu1->setDefaultAction(ui->Rename1);
    // F2 renames while the list has the focus.
    list->addAction(ui->Rename1);
    ui->Rename1->setShortcutContext(Qt::WidgetShortcut);

    connect(ui->Rename1, &QAction::triggered, this, &OverwriteDialog::Rename1Click);
    connect(ui->Button1, &QPushButton::clicked, this, &OverwriteDialog::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(list, &QTreeWidget::itemChanged, this, &OverwriteDialog::CaptionEdited);

    // The wrapped tip needs its height at the dialog's width, which a window's minimum size
    // leaves out: without it, a larger font lays the tip over the list.
    const int width = std::max(DesignSize.width(), minimumSizeHint().width());
    resize(width, std::max(DesignSize.height(), layout()->totalMinimumHeightForWidth(width)));
}

OverwriteDialog::~OverwriteDialog() {
    TypeWidth.Save(ui->ListView1->columnWidth(TypeColumn));
}

void OverwriteDialog::ClearFiles() {
    ui->ListView1->clear();
    renames_.Clear();
    descriptions_ = {}; // a change in the store shows in the next list
}

void OverwriteDialog::AddFile(const std::string& path, bool originalItself) {
    const QString caption = Text(RemoveExtension(path));
    const std::string extension = GetFileExtension(path);
    auto* row = new QTreeWidgetItem(ui->ListView1);
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
    return ui->ListView1->topLevelItemCount();
}

bool OverwriteDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->ListView1->viewport() && event->type() == QEvent::MouseButtonRelease) {
        ListView1MouseUp(static_cast<QMouseEvent*>(event));
    }
    return QDialog::eventFilter(watched, event);
}

void OverwriteDialog::ListView1MouseUp(QMouseEvent* event) {
    if (event->button() != Qt::RightButton || ui->ListView1->selectedItems().isEmpty()) {
        return;
    }
    PopupMenu1->popup(ui->ListView1->viewport()->mapToGlobal(event->position().toPoint()));
}

void OverwriteDialog::Rename1Click() {
    const QList<QTreeWidgetItem*> selected = ui->ListView1->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    ui->ListView1->setFocus();
    ui->ListView1->editItem(selected.first(), 0);
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
        ui->ListView1,
        [list = ui->ListView1, item, resolved, caption] {
            if (list->indexOfTopLevelItem(item) >= 0 && item->text(0) == caption) {
                item->setText(0, resolved);
            }
        },
        Qt::QueuedConnection);
}

std::vector<OverwriteRow> OverwriteDialog::Rows() const {
    std::vector<OverwriteRow> rows;
    for (int i = 0; i < Count(); ++i) {
        const QTreeWidgetItem* item = ui->ListView1->topLevelItem(i);
        const std::string output = item->data(0, Qt::UserRole).toByteArray().toStdString();
        const std::string listed = item->data(0, ListedCaptionRole).toString().toStdString();
        const std::string caption = item->text(0).toStdString();
        const std::string extension = item->data(0, ExtensionRole).toByteArray().toStdString();
        rows.push_back({output, listed, caption, extension});
    }
    return rows;
}

void OverwriteDialog::Button1Click() {
    const RenameVerdict verdict = CheckRenames(Rows());
    if (verdict.RefusedRow) {
        QTreeWidgetItem* row = ui->ListView1->topLevelItem(static_cast<int>(*verdict.RefusedRow));
        ui->ListView1->setCurrentItem(row);
        AppMessage(this, QMessageBox::Warning, Text(verdict.Refusal));
        ui->ListView1->setFocus();
        return;
    }
    if (!verdict.Entries.empty()) {
        renames_.Fill(verdict.Entries);
    }
    accept();
}
