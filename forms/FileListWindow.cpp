#include "forms/FileListWindow.h"

#include <QHeaderView>

#include "forms/FileIconCache.h"
#include "selector/SelectorSettings.h"
#include "ui_FileListWindow.h"

namespace {
constexpr int SizeColumn = 1;
constexpr int TypeColumn = 2;
constexpr int ExtensionColumn = 3;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}
} // namespace

FileListWindow::FileListWindow(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::FileListWindow>()) {
    ui->setupUi(this);
    QTreeWidget* list = ui->lstCoverting;
    list->setTextElideMode(Qt::ElideMiddle);
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(40);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    const SelectorSettings stored = SelectorSettings::Load();
    list->setColumnWidth(SizeColumn,
                         stored.fileListColumns[0] > 0 ? stored.fileListColumns[0] : 75);
    list->setColumnWidth(TypeColumn,
                         stored.fileListColumns[1] > 0 ? stored.fileListColumns[1] : 110);
    list->setColumnHidden(ExtensionColumn, true);
    list->headerItem()->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
    header->setSectionsClickable(false);
    connect(ui->cmdClose, &QPushButton::clicked, this, &FileListWindow::cmdCloseClick);
}

FileListWindow::~FileListWindow() {
    SelectorSettings widths;
    widths.fileListColumns = {ui->lstCoverting->header()->sectionSize(SizeColumn),
                              ui->lstCoverting->header()->sectionSize(TypeColumn)};
    widths.SaveFileListColumns();
}

void FileListWindow::SetHeading(const QString& text) {
    ui->lblHeading->setText(text);
    ui->lstCoverting->setAccessibleName(text);
}

void FileListWindow::SetCountText(const QString& text) {
    ui->lblCount->setText(text);
}

void FileListWindow::Clear() {
    ui->lstCoverting->clear();
    firstOfCaption_.clear();
}

void FileListWindow::AddFile(const ConvertRow& row) {
    auto* item = new QTreeWidgetItem(ui->lstCoverting);
    const QString caption = Text(row.caption);
    const auto first = firstOfCaption_.constFind(caption);
    if (first == firstOfCaption_.constEnd()) {
        firstOfCaption_.insert(caption, item);
        item->setText(0, caption);
    } else {
        // Two files named "Intro" with different extensions would both read "Intro".
        (*first)->setText(0, caption + (*first)->text(ExtensionColumn));
        item->setText(0, caption + Text(row.extension));
    }
    item->setToolTip(0, Text(row.fullPath));
    item->setText(SizeColumn, Text(row.sizeText));
    item->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
    item->setText(2, Text(row.typeDescription));
    item->setText(ExtensionColumn, Text(row.extension));
    item->setIcon(0, FileIconCache::Shared().IconFor(row.extension));
}

int FileListWindow::Count() const {
    return ui->lstCoverting->topLevelItemCount();
}

void FileListWindow::cmdCloseClick() {
    hide();
}
