#pragma once
// The options panel's rows for the encoder options captioned by their Caption (FormatOptions.h):
// one row per option, a list where the option offers usual values and a spin box where any value
// of its range will do. Only the rows of the chosen target format are shown.
#include <QWidget>
#include <functional>
#include <span>
#include <vector>

#include "catalog/OptionValues.h"

struct FormatOption;
class QComboBox;
class QLabel;
class QSpinBox;

class FormatOptionRows : public QWidget {
    Q_OBJECT
public:
    FormatOptionRows(std::span<const std::reference_wrapper<const FormatOption>> options,
                     QWidget* parent);

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
        QWidget* Control() const;
    };
    void AddRow(const FormatOption& option);

    std::vector<Row> rows_;
};
