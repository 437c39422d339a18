#include "forms/TfrmOverWriteFile.h"

#include <QLayout>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>

#include "engine/RenameTable.h"
#include "forms/AppMessage.h"
#include "forms/FileIconCache.h"
#include "forms/FormPictures.h"
#include "system/FileNames.h"
#include "ui_TfrmOverWriteFile.h"

namespace {
// The smallest client area; the dialog grows where its fonts need more.
constexpr QSize DesignSize(533, 243);
constexpr int ExtensionColumn = 2;
constexpr int PathColumn = 3;
// The caption as listed, to tell an edited row from an untouched one.
constexpr int ListedCaptionRole = Qt::UserRole + 1;
// The extension's bytes as found: a rename keeps them exactly.
constexpr int ExtensionRole = Qt::UserRole + 2;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}
} // namespace

TfrmOverWriteFile::TfrmOverWriteFile(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmOverWriteFile>()) {
    ui->setupUi(this);
    ui->Image1->setPixmap(
        FormPictures::Pixmap(QStringLiteral("overwrite.svg"), QSize(32, 32), this));
    QTreeWidget* list = ui->ListView1;
    list->setColumnWidth(0, 270);
    list->setColumnWidth(1, 150);
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

    connect(ui->Rename1, &QAction::triggered, this, &TfrmOverWriteFile::Rename1Click);
    connect(ui->Button1, &QPushButton::clicked, this, &TfrmOverWriteFile::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &QDialog::reject);

    // The wrapped tip needs its height at the dialog's width, which a window's minimum size
    // leaves out: without it, a larger font lays the tip over the list.
    const int width = std::max(DesignSize.width(), minimumSizeHint().width());
    resize(width, std::max(DesignSize.height(), layout()->totalMinimumHeightForWidth(width)));
}

TfrmOverWriteFile::~TfrmOverWriteFile() = default;

void TfrmOverWriteFile::ClearFiles() {
    ui->ListView1->clear();
    renames_.Clear();
    descriptions_ = {}; // a change in the store shows in the next list
}

void TfrmOverWriteFile::AddFile(const std::string& path) {
    const QString caption = Text(RemoveExtension(path));
    const std::string extension = GetFileExtension(path);
    auto* row = new QTreeWidgetItem(ui->ListView1);
    row->setText(0, caption);
    row->setText(1, Text(descriptions_.Describe(extension)));
    row->setText(ExtensionColumn, Text(extension));
    row->setText(PathColumn, Text(path));
    row->setData(0, Qt::UserRole, QByteArray::fromStdString(path));
    row->setData(0, ListedCaptionRole, caption);
    row->setData(0, ExtensionRole, QByteArray::fromStdString(extension));
    row->setIcon(0, FileIconCache::Shared().IconFor(extension));
    row->setFlags(row->flags() | Qt::ItemIsEditable);
}

int TfrmOverWriteFile::Count() const {
    return ui->ListView1->topLevelItemCount();
}

bool TfrmOverWriteFile::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->ListView1->viewport() && event->type() == QEvent::MouseButtonRelease) {
        ListView1MouseUp(static_cast<QMouseEvent*>(event));
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmOverWriteFile::ListView1MouseUp(QMouseEvent* event) {
    if (event->button() != Qt::RightButton || ui->ListView1->selectedItems().isEmpty()) {
        return;
    }
    PopupMenu1->popup(ui->ListView1->viewport()->mapToGlobal(event->position().toPoint()));
}

void TfrmOverWriteFile::Rename1Click() {
    const QList<QTreeWidgetItem*> selected = ui->ListView1->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    ui->ListView1->setFocus();
    ui->ListView1->editItem(selected.first(), 0);
}

std::vector<OverwriteRow> TfrmOverWriteFile::Rows() const {
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

void TfrmOverWriteFile::Button1Click() {
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
