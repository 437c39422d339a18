#pragma once
// The options form's controls for the encoder options given as numbers (FormatOptions.h): one row
// per option, a list where the option offers usual values and a spin box where any value of its
// range will do. Only the rows of the chosen target format are shown.
#include <QWidget>
#include <vector>

#include "catalog/OptionValues.h"

struct FormatOption;
class QComboBox;
class QLabel;
class QSpinBox;

class NumberOptionPanel : public QWidget {
    Q_OBJECT
public:
    explicit NumberOptionPanel(QWidget* parent = nullptr);

    // An option the form shows with controls of its own: its row goes.
    void LeaveOut(const FormatOption& option);
    void ShowFor(uint8_t target);
    // Shows the options' values; an option without one shows its default.
    void Show(const OptionValues& values);
    // Puts the shown values into values; the other options' stay as they were.
    void ApplyTo(OptionValues& values) const;

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
