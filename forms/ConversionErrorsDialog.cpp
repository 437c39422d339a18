#include "forms/ConversionErrorsDialog.h"

#include "forms/FormPictures.h"
#include "ui_ConversionErrorsDialog.h"

ConversionErrorsDialog::ConversionErrorsDialog(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::ConversionErrorsDialog>()) {
    ui->setupUi(this);
    ui->Image1->setPixmap(FormPictures::Pixmap(QStringLiteral("errors.svg"), QSize(32, 32), this));
    connect(ui->Button1, &QPushButton::clicked, this, &QDialog::accept);
}

ConversionErrorsDialog::~ConversionErrorsDialog() = default;

void ConversionErrorsDialog::Clear() {
    ui->RichEdit1->clear();
}

void ConversionErrorsDialog::AddLine(const QString& line) {
    ui->RichEdit1->appendPlainText(line);
}

bool ConversionErrorsDialog::HasProblems() const {
    return !ui->RichEdit1->document()->isEmpty();
}

QString ConversionErrorsDialog::Text() const {
    return ui->RichEdit1->toPlainText();
}

void ConversionErrorsDialog::ShowModal() {
    ui->Button1->setFocus();
    exec();
}
