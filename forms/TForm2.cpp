#include "forms/TForm2.h"

#include <QHeaderView>

#include "forms/FileIconCache.h"
#include "ui_TForm2.h"

namespace {
constexpr int SizeColumn = 1;
constexpr int ExtensionColumn = 3;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}
} // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TForm2>()) {
    ui->setupUi(this);
    QTreeWidget* list = ui->lstCoverting;
    list->setColumnWidth(0, 320);
    list->setColumnWidth(SizeColumn, 75);
    list->setColumnWidth(2, 110);
    list->setColumnHidden(ExtensionColumn, true);
    list->headerItem()->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
    list->header()->setSectionsClickable(false);
    connect(ui->cmdClose, &QPushButton::clicked, this, &TForm2::cmdCloseClick);
}

TForm2::~TForm2() = default;

void TForm2::SetHeading(const QString& text) {
    ui->Label1->setText(text);
    ui->lstCoverting->setAccessibleName(text);
}

void TForm2::SetCountText(const QString& text) {
    ui->Label4->setText(text);
}

void TForm2::Clear() {
    ui->lstCoverting->clear();
}

void TForm2::AddFile(const ConvertRow& row) {
    auto* item = new QTreeWidgetItem(ui->lstCoverting);
    item->setText(0, Text(row.caption));
    item->setText(SizeColumn, Text(row.sizeText));
    item->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
    item->setText(2, Text(row.typeDescription));
    item->setText(ExtensionColumn, Text(row.extension));
    item->setIcon(0, FileIconCache::Shared().IconFor(row.extension));
}

int TForm2::Count() const {
    return ui->lstCoverting->topLevelItemCount();
}

void TForm2::cmdCloseClick() {
    hide();
}
