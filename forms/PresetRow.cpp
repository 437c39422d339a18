#include "forms/PresetRow.h"

#include <QComboBox>
#include <QInputDialog>
#include <QPushButton>

#include "catalog/FormatTable.h"
#include "choices/PresetBook.h"
#include "engine/CodecCheck.h"
#include "forms/AppMessage.h"
#include "forms/ApplicationTitle.h"

namespace {
QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// A line of the codec check as a sentence.
QString Sentence(const std::string& line) {
    QString sentence = Text(line) + QLatin1Char('.');
    sentence[0] = sentence[0].toUpper();
    return sentence;
}
// Wide enough for the built-in presets' names in the font it has; a longer name of the user's is
// cut short rather than widening the window.
void FitBuiltInNames(QComboBox& list) {
    for (const std::string& name : PresetBook::Names()) {
        if (PresetBook::IsBuiltIn(name)) {
            list.addItem(Text(name));
        }
    }
    const QComboBox::SizeAdjustPolicy designed = list.sizeAdjustPolicy();
    list.setSizeAdjustPolicy(QComboBox::AdjustToContents);
    list.setMinimumWidth(list.sizeHint().width());
    list.setSizeAdjustPolicy(designed);
}
} // namespace

PresetRow::PresetRow(Controls controls, Form form, std::vector<std::string> codecFolders)
    : controls_(controls), form_(std::move(form)), codecFolders_(std::move(codecFolders)) {
    controls_.List->setPlaceholderText(QStringLiteral("Choose a preset"));
    FitBuiltInNames(*controls_.List);
    // Picked, not just shown: choosing the shown preset again sets the controls again.
    connect(controls_.List, &QComboBox::activated, this, &PresetRow::Pick);
    connect(controls_.Save, &QPushButton::clicked, this, &PresetRow::SaveAs);
    connect(controls_.Delete, &QPushButton::clicked, this, &PresetRow::DeleteShown);
    Fill({});
}

void PresetRow::Fill(const std::string& shown) {
    controls_.List->clear();
    for (const std::string& name : PresetBook::Names()) {
        controls_.List->addItem(Text(name));
    }
    controls_.List->setCurrentIndex(controls_.List->findText(Text(shown), Qt::MatchExactly));
    controls_.Delete->setEnabled(!shown.empty() && !PresetBook::IsBuiltIn(shown));
}

std::string PresetRow::Shown() const {
    return controls_.List->currentIndex() < 0 ? std::string()
                                              : controls_.List->currentText().toStdString();
}

QString PresetRow::Unwritable(const std::string& name, uint8_t target) const {
    const std::vector<std::string> missing = MissingCodecModules(target, {}, codecFolders_);
    if (missing.empty()) {
        return {};
    }
    QString text = QStringLiteral("The preset '%1' converts to %2, which cannot be written:\n")
                       .arg(Text(name), Text(std::string(FindTargetFormat(target)->Name)));
    for (const std::string& line : missing) {
        text += Sentence(line) + QLatin1Char('\n');
    }
    return text + QStringLiteral("\nThe choices were left as they were.");
}

void PresetRow::Pick(int index) {
    const std::string name = controls_.List->itemText(index).toStdString();
    ConverterChoices choices = form_.Choices();
    // Deleted meanwhile by another window of the program: the list catches up.
    if (!PresetBook::ApplyTo(name, choices)) {
        Fill({});
        return;
    }
    if (const QString refusal = Unwritable(name, choices.Target); !refusal.isEmpty()) {
        Fill({});
        AppMessage(form_.Window, QMessageBox::Warning, refusal);
        return;
    }
    form_.Show(choices);
    Fill(name);
}

void PresetRow::SaveAs() {
    QInputDialog ask(form_.Window);
    ask.setWindowTitle(ApplicationTitle::Text());
    ask.setLabelText(QStringLiteral("Save the choices as the preset:"));
    const std::string shown = Shown();
    ask.setTextValue(PresetBook::IsBuiltIn(shown) ? QString() : Text(shown));
    if (ask.exec() != QDialog::Accepted) {
        return;
    }
    const std::string name = ask.textValue().trimmed().toStdString();
    if (const std::string problem = PresetBook::NameProblem(name); !problem.empty()) {
        AppMessage(form_.Window, QMessageBox::Warning, Text(problem));
        return;
    }
    if (const auto existing = PresetBook::Find(name);
        existing &&
        AppMessage(
            form_.Window, QMessageBox::Question,
            QStringLiteral("A preset called '%1' exists already. Replace it?").arg(Text(*existing)),
            QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        return;
    }
    std::string error;
    if (!PresetBook::Save(name, form_.Choices(), error)) {
        AppMessage(form_.Window, QMessageBox::Critical, Text(error));
        return;
    }
    Fill(PresetBook::Find(name).value_or(name));
}

void PresetRow::DeleteShown() {
    const std::string name = Shown();
    if (AppMessage(form_.Window, QMessageBox::Question,
                   QStringLiteral("Delete the preset '%1'?").arg(Text(name)),
                   QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        return;
    }
    std::string error;
    if (!PresetBook::Delete(name, error)) {
        AppMessage(form_.Window, QMessageBox::Critical, Text(error));
    }
    Fill({});
}
