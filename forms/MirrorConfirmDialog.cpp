#include "forms/MirrorConfirmDialog.h"

#include <QHeaderView>
#include <QLayout>
#include <algorithm>

#include "forms/FileIconCache.h"
#include "forms/FormPictures.h"
#include "system/FileNames.h"
#include "ui_MirrorConfirmDialog.h"

namespace {
// The smallest client area, the overwrite confirmation's; the dialog grows where its fonts need
// more.
constexpr QSize DesignSize(533, 243);
constexpr int ActionColumn = 1;
constexpr int ReasonColumn = 2;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}
} // namespace

MirrorConfirmDialog::MirrorConfirmDialog(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::MirrorConfirmDialog>()) {
    ui->setupUi(this);
    ui->imgMirror->setPixmap(
        FormPictures::Pixmap(QStringLiteral("overwrite.svg"), QSize(32, 32), this));
    // Paths give way in their middle; the name takes what the action and the reason, read
    // whole, leave.
    QTreeWidget* list = ui->lstMirrorChanges;
    list->setTextElideMode(Qt::ElideMiddle);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list->header()->setSectionResizeMode(ActionColumn, QHeaderView::ResizeToContents);
    list->header()->setSectionResizeMode(ReasonColumn, QHeaderView::ResizeToContents);
    list->header()->setSectionsClickable(false);
    connect(ui->cmdYes, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->cmdNo, &QPushButton::clicked, this, &QDialog::reject);
    const int width = std::max(DesignSize.width(), minimumSizeHint().width());
    resize(width, std::max(DesignSize.height(), layout()->totalMinimumHeightForWidth(width)));
}

MirrorConfirmDialog::~MirrorConfirmDialog() = default;

void MirrorConfirmDialog::AddFile(const std::string& path, bool deleted,
                                  const std::string& reason) {
    auto* row = new QTreeWidgetItem(ui->lstMirrorChanges);
    row->setText(0, Text(path));
    row->setToolTip(0, Text(path));
    row->setText(ActionColumn, deleted ? QStringLiteral("Delete") : QStringLiteral("Keep"));
    row->setText(ReasonColumn, Text(reason));
    row->setToolTip(ReasonColumn, Text(reason));
    row->setIcon(0, FileIconCache::Shared().IconFor(GetFileExtension(path)));
    deleted_ += deleted ? 1 : 0;
}

bool MirrorConfirmDialog::Ask() {
    const int kept = ui->lstMirrorChanges->topLevelItemCount() - deleted_;
    const QString count = QStringLiteral("%1 to delete, %2 to keep").arg(deleted_).arg(kept);
    ui->lblMirrorCount->setText(count);
    ui->lblMirrorCount->setAccessibleName(count);
    return exec() == QDialog::Accepted;
}
