#include "forms/TfrmConvertErr.h"

#include "forms/FormPictures.h"
#include "ui_TfrmConvertErr.h"

TfrmConvertErr::TfrmConvertErr(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmConvertErr>()) {
    ui->setupUi(this);
    ui->Image1->setPixmap(FormPictures::Pixmap(QStringLiteral("errors.svg"), QSize(32, 32), this));
    connect(ui->Button1, &QPushButton::clicked, this, &QDialog::accept);
}

TfrmConvertErr::~TfrmConvertErr() = default;

void TfrmConvertErr::Clear() {
    ui->RichEdit1->clear();
}

void TfrmConvertErr::AddLine(const QString& line) {
    ui->RichEdit1->appendPlainText(line);
}

bool TfrmConvertErr::HasProblems() const {
    return !ui->RichEdit1->document()->isEmpty();
}

QString TfrmConvertErr::Text() const {
    return ui->RichEdit1->toPlainText();
}

void TfrmConvertErr::ShowModal() {
    ui->Button1->setFocus();
    exec();
}
