#pragma once
// The options form's row of presets (PresetBook): picking one in the drop-down sets the form's
// controls, "Save as preset…" keeps what they show under a name asked for, and "Delete Preset"
// removes the user's preset shown. The built-in presets cannot be replaced or deleted.
#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "engine/ConverterChoices.h"

class QComboBox;
class QPushButton;
class QWidget;

class PresetRow : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QComboBox* List;
        QPushButton* Save;
        QPushButton* Delete;
    };
    // The form's choices as its controls show them, and how it shows others.
    struct Form {
        QWidget* Window;
        std::function<ConverterChoices()> Choices;
        std::function<void(const ConverterChoices&)> Show;
    };
    // codecFolders: where a preset's format is looked for before it is used.
    PresetRow(Controls controls, Form form, std::vector<std::string> codecFolders);

private:
    void Fill(const std::string& shown);
    void Pick(int index);
    void SaveAs();
    void DeleteShown();
    std::string Shown() const;
    // Why the preset's format cannot be written here; empty when it can.
    QString Unwritable(const std::string& name, uint8_t target) const;

    Controls controls_;
    Form form_;
    std::vector<std::string> codecFolders_;
};
