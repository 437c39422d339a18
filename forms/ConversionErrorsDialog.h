#pragma once
// The errors form: one line per file that failed in the last job, then one per stored setting it
// could not use, shown when the job ends. The box is editable (the user may annotate or copy the
// lines); nothing reads it back afterwards.
#include <QDialog>
#include <memory>

namespace Ui {
class ConversionErrorsDialog;
}

class ConversionErrorsDialog : public QDialog {
    Q_OBJECT
public:
    explicit ConversionErrorsDialog(QWidget* parent = nullptr);
    ~ConversionErrorsDialog() override;

    void Clear();
    void AddLine(const QString& line);
    bool HasProblems() const;
    QString Text() const;
    // Modal, until "&Ok", Enter, Escape or the close box.
    void ShowModal();

private:
    std::unique_ptr<Ui::ConversionErrorsDialog> ui;
};
