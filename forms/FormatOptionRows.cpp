#include "forms/FormatOptionRows.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>

#include "catalog/FormatOptions.h"
#include "catalog/FormatTable.h"
#include "choices/OptionValueList.h"

namespace {
QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "Bit Rate" from "bit rate", as the form's other captions are written.
QString Caption(const FormatOption& option) {
    QString caption = Text(option.Caption);
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (i == 0 || caption[i - 1] == QLatin1Char(' ')) {
            caption[i] = caption[i].toUpper();
        }
    }
    return caption;
}

// What a screen reader says: the one format's name before the caption; an option of several
// formats alone.
QString AccessibleName(const FormatOption& option) {
    QString caption = Text(option.Caption);
    const auto formats = FormatsTaking(option);
    if (formats.size() != 1) {
        caption[0] = caption[0].toUpper();
        return caption;
    }
    return Text(formats.front()->Name) + QLatin1Char(' ') + caption;
}
} // namespace

FormatOptionRows::FormatOptionRows(
    std::span<const std::reference_wrapper<const FormatOption>> options, QWidget* parent)
    : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setColumnStretch(1, 1);
    for (const FormatOption& option : options) {
        AddRow(option);
    }
    Show(OptionValues{});
}

QWidget* FormatOptionRows::Row::Control() const {
    return List ? static_cast<QWidget*>(List) : Number;
}

void FormatOptionRows::AddRow(const FormatOption& option) {
    Row row{&option, new QLabel(Caption(option), this), nullptr, nullptr};
    QWidget* control = nullptr;
    if (option.Offered.empty()) {
        row.Number = new QSpinBox(this);
        row.Number->setRange(option.Least, option.Most);
        if (!option.Unit.empty()) {
            row.Number->setSuffix(QLatin1Char(' ') + Text(option.Unit));
        }
        control = row.Number;
    } else {
        row.List = new QComboBox(this);
        control = row.List;
    }
    control->setObjectName(Text(option.StoredName));
    control->setAccessibleName(AccessibleName(option));
    row.Caption->setBuddy(control);
    auto* grid = static_cast<QGridLayout*>(layout());
    const int place = grid->rowCount();
    grid->addWidget(row.Caption, place, 0);
    grid->addWidget(control, place, 1);
    rows_.push_back(row);
}

void FormatOptionRows::ShowFor(uint8_t target) {
    for (const Row& row : rows_) {
        const bool applies = OptionAppliesTo(*row.Option, target);
        row.Caption->setVisible(applies);
        row.Control()->setVisible(applies);
    }
    // The form's layout keeps this panel's size until told: it changed with its rows.
    updateGeometry();
}

void FormatOptionRows::Show(const OptionValues& values) {
    for (const Row& row : rows_) {
        const int32_t value = values.Of(*row.Option);
        if (row.Number) {
            row.Number->setValue(value);
            continue;
        }
        const OptionValueList values(*row.Option, value);
        row.List->clear();
        for (const ListedValue& item : values.Items()) {
            row.List->addItem(QString::fromStdString(item.Text), item.Value);
        }
        row.List->setCurrentIndex(static_cast<int>(values.IndexOf(value)));
    }
}

void FormatOptionRows::ApplyTo(OptionValues& values) const {
    for (const Row& row : rows_) {
        values.Set(*row.Option, row.Number ? row.Number->value() : row.List->currentData().toInt());
    }
}
