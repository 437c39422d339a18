#pragma once
// The options form's controls for the encoder options given as numbers (FormatOptions.h): one row
// per option, a list where the option offers usual values and a spin box where any value of its
// range will do. Only the rows of the chosen target format are shown.
#include <QWidget>
#include <vector>

#include "catalog/ConversionSettings.h"

struct FormatOption;
class QComboBox;
class QLabel;
class QSpinBox;

class NumberOptionPanel : public QWidget {
    Q_OBJECT
public:
    explicit NumberOptionPanel(QWidget* parent = nullptr);

    void ShowFor(uint8_t target);
    // Shows the options' values as numbers holds them.
    void Show(const ConversionSettings& numbers);
    // Puts the shown values into their fields of numbers; the other fields stay as they were.
    void ApplyTo(ConversionSettings& numbers) const;

private:
    struct Row {
        const FormatOption* Option;
        QLabel* Caption;
        QComboBox* List;  // nullptr for a spin box
        QSpinBox* Number; // nullptr for a list
    };
    void AddRow(const FormatOption& option);

    std::vector<Row> rows_;
};
