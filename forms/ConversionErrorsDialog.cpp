#include "forms/ConversionErrorsDialog.h"

#include "forms/FormPictures.h"
#include "ui_ConversionErrorsDialog.h"

ConversionErrorsDialog::ConversionErrorsDialog(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::ConversionErrorsDialog>()) {
    ui->setupUi(this);
    ui->imgErrors->setPixmap(
        FormPictures::Pixmap(QStringLiteral("errors.svg"), QSize(32, 32), this));
    connect(ui->cmdOk, &QPushButton::clicked, this, &QDialog::accept);
}

ConversionErrorsDialog::~ConversionErrorsDialog() = default;

void ConversionErrorsDialog::Clear() {
    ui->txtProblems->clear();
}

void ConversionErrorsDialog::AddLine(const QString& line) {
    ui->txtProblems->appendPlainText(line);
}

bool ConversionErrorsDialog::HasProblems() const {
    return !ui->txtProblems->document()->isEmpty();
}

QString ConversionErrorsDialog::Text() const {
    return ui->txtProblems->toPlainText();
}

void ConversionErrorsDialog::ShowModal() {
    ui->cmdOk->setFocus();
    exec();
}
