#include "forms/WaveFormatDialog.h"

#include <QPushButton>
#include <algorithm>

#include "ui_WaveFormatDialog.h"

WaveFormatDialog::WaveFormatDialog(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::WaveFormatDialog>()) {
    ui->setupUi(this);
    connect(ui->buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

WaveFormatDialog::~WaveFormatDialog() = default;

void WaveFormatDialog::OpenOn(const std::array<uint8_t, WaveOutputFormatSize>& buffer) {
    choices_ = std::make_unique<WaveFormatChoices>(buffer.data(), buffer.size());
    disconnect(ui->cmbFormatTag, nullptr, this, nullptr);
    ui->cmbFormatTag->clear();
    for (const WaveFormatTagChoice& tag : choices_->Tags()) {
        ui->cmbFormatTag->addItem(QString::fromStdString(tag.Name));
    }
    ui->cmbFormatTag->setCurrentIndex(static_cast<int>(choices_->CurrentTagItem()));
    cmbFormatTagChange(ui->cmbFormatTag->currentIndex());
    ui->cmbAttributes->setCurrentIndex(static_cast<int>(choices_->CurrentFormatItem()));
    connect(ui->cmbFormatTag, &QComboBox::currentIndexChanged, this,
            &WaveFormatDialog::cmbFormatTagChange);
}

bool WaveFormatDialog::Choose(std::array<uint8_t, WaveOutputFormatSize>& buffer) {
    OpenOn(buffer);

    const int chosen = exec() == QDialog::Accepted ? ui->cmbAttributes->currentIndex() : -1;
    if (chosen < 0 || chosen >= static_cast<int>(formats_.size())) {
        return false;
    }
    const std::vector<uint8_t>& record = formats_[static_cast<std::size_t>(chosen)].Record;
    if (record.size() > buffer.size()) {
        return false;
    }
    std::copy(record.begin(), record.end(), buffer.begin());
    return true;
}

void WaveFormatDialog::cmbFormatTagChange(int item) {
    formats_ = item < 0 ? std::vector<WaveFormatChoice>{}
                        : choices_->FormatsOf(static_cast<std::size_t>(item));
    ui->cmbAttributes->clear();
    for (const WaveFormatChoice& format : formats_) {
        ui->cmbAttributes->addItem(QString::fromStdString(format.Description));
    }
    ui->cmbAttributes->setCurrentIndex(formats_.empty() ? -1 : 0);
    ui->buttons->button(QDialogButtonBox::Ok)->setEnabled(!formats_.empty());
}
