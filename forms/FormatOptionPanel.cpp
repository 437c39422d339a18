#include "forms/FormatOptionPanel.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <functional>

#include "catalog/FormatOptions.h"
#include "catalog/FormatTable.h"
#include "forms/FormPictures.h"
#include "forms/FormatControls.h"
#include "forms/FormatOptionRows.h"

namespace {
constexpr int Columns = 5; // picture, radio button | picture, label, list

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsRadioPair(const FormatOption& option) {
    return option.IsSwitch && option.Offered.size() == 2;
}

// Shown in the grid with its own words rather than in the captioned rows.
bool HasOwnWords(const FormatOption& option) {
    return !option.Label.empty() || IsRadioPair(option);
}

std::vector<std::reference_wrapper<const FormatOption>> CaptionedOptions() {
    std::vector<std::reference_wrapper<const FormatOption>> captioned;
    std::ranges::copy_if(FormatOptions(), std::back_inserter(captioned),
                         [](const FormatOption& option) { return !HasOwnWords(option); });
    return captioned;
}
} // namespace

FormatOptionPanel::FormatOptionPanel(QWidget* parent)
    : QWidget(parent), grid_(new QGridLayout(this)) {
    grid_->setContentsMargins(0, 4, 0, 4);
    grid_->setHorizontalSpacing(6);
    for (const FormatInfo* format : ButtonFormats()) {
        AddBlock(*format);
    }
    AddTextChoice();
    for (const Placed& placed : placed_) {
        FollowReplacing(placed);
    }
    rows_ = new FormatOptionRows(CaptionedOptions(), this);
    rows_->setObjectName(QStringLiteral("formatRows"));
    grid_->addWidget(rows_, nextRow_, 0, 1, Columns);
}

// A format's options with words of their own: its switches down the left column, then its lists.
void FormatOptionPanel::AddBlock(const FormatInfo& format) {
    int left = nextRow_;
    int right = nextRow_;
    for (const FormatOption* option : format.Options) {
        if (IsRadioPair(*option)) {
            AddSwitch(*option, left);
        }
    }
    for (const FormatOption* option : format.Options) {
        if (HasOwnWords(*option) && !IsRadioPair(*option)) {
            AddList(*option, left, right);
        }
    }
    nextRow_ = std::max(left, right);
}

void FormatOptionPanel::AddSwitch(const FormatOption& option, int& row) {
    Placed placed{&option, {}, nullptr, {}};
    auto* group = new QButtonGroup(this);
    for (const OfferedValue& offered : option.Offered) {
        const QString name =
            Text(option.StoredName) + QLatin1Char('_') + QString::number(offered.Value);
        QLabel* picture = Picture(offered.Picture, QStringLiteral("img") + name);
        auto* radio = new QRadioButton(Text(offered.Text), this);
        radio->setObjectName(name);
        group->addButton(radio);
        grid_->addWidget(picture, row, 0);
        grid_->addWidget(radio, row++, 1);
        placed.Widgets.insert(placed.Widgets.end(), {picture, radio});
        placed.Radios.push_back(radio);
    }
    placed_.push_back(placed);
}

// With a picture at the right of the switches; without one across both columns, in a row of its
// own. The label alone names the list for a screen reader (its buddy).
void FormatOptionPanel::AddList(const FormatOption& option, int& left, int& right) {
    const QString name = Text(option.StoredName);
    auto* label = new QLabel(Text(option.Label), this);
    label->setObjectName(QStringLiteral("lbl") + name);
    auto* list = new QComboBox(this);
    list->setObjectName(name);
    for (const OfferedValue& offered : option.Offered) {
        list->addItem(Text(offered.Text));
    }
    label->setBuddy(list);
    Placed placed{&option, {label, list}, list, {}};
    if (option.Picture.empty()) {
        const int row = std::max(left, right);
        grid_->addWidget(label, row, 0, 1, 2);
        grid_->addWidget(list, row, 2, 1, Columns - 2);
        left = right = row + 1;
    } else {
        QLabel* picture = Picture(option.Picture, QStringLiteral("img") + name);
        grid_->addWidget(picture, right, 2);
        grid_->addWidget(label, right, 3);
        grid_->addWidget(list, right++, 4);
        placed.Widgets.push_back(picture);
    }
    placed_.push_back(placed);
}

void FormatOptionPanel::FollowReplacing(const Placed& replacing) {
    const FormatOption* option = replacing.Option;
    const auto replaced = std::ranges::find_if(
        placed_, [&](const Placed& placed) { return placed.Option == option->Replaces; });
    if (!option->Replaces || !replacing.List || replaced == placed_.end() || !replaced->List) {
        return;
    }
    QComboBox* from = replacing.List;
    QComboBox* list = replaced->List;
    connect(from, &QComboBox::currentIndexChanged, list, [list, option](int item) {
        list->setEnabled(item < 0 || !option->ReplacesWith(
                                         option->Offered[static_cast<std::size_t>(item)].Value));
    });
}

QLabel* FormatOptionPanel::Picture(std::string_view name, const QString& objectName) {
    auto* picture = new QLabel(this);
    picture->setObjectName(objectName);
    if (!name.empty()) {
        picture->setPixmap(FormPictures::Pixmap(Text(name), QSize(16, 16), this));
    }
    return picture;
}

// The choice's name in bold over its details, "Change" beside both.
void FormatOptionPanel::AddTextChoice() {
    choiceName_ = new QLabel(this);
    choiceName_->setObjectName(QStringLiteral("lblTextChoiceName"));
    QFont bold;
    bold.setBold(true);
    choiceName_->setFont(bold);
    choiceDetails_ = new QLabel(this);
    choiceDetails_->setObjectName(QStringLiteral("lblTextChoiceDetails"));
    auto* change = new QPushButton(QStringLiteral("Change"), this);
    change->setObjectName(QStringLiteral("cmdChangeTextChoice"));
    change->setAutoDefault(false);
    connect(change, &QPushButton::clicked, this, &FormatOptionPanel::ChangeTextChoice);
    changeChoice_ = change;
    grid_->addWidget(choiceName_, nextRow_, 0, 1, Columns - 1);
    grid_->addWidget(choiceDetails_, nextRow_ + 1, 0, 1, Columns - 1);
    grid_->addWidget(change, nextRow_, Columns - 1, 2, 1);
    nextRow_ += 2;
}

void FormatOptionPanel::ShowFor(uint8_t target) {
    for (const Placed& placed : placed_) {
        const bool applies = OptionAppliesTo(*placed.Option, target);
        for (QWidget* widget : placed.Widgets) {
            widget->setVisible(applies);
        }
    }
    const FormatInfo* format = FindTargetFormat(target);
    const bool textChoice = format && format->TextOption;
    for (QWidget* widget : {static_cast<QWidget*>(choiceName_),
                            static_cast<QWidget*>(choiceDetails_), changeChoice_}) {
        widget->setVisible(textChoice);
    }
    rows_->ShowFor(target);
}

void FormatOptionPanel::Show(const OptionValues& values) {
    for (const Placed& placed : placed_) {
        const FormatOption& option = *placed.Option;
        if (placed.List) {
            const std::optional<int32_t> value = values.Chosen(option);
            const std::optional<std::size_t> item = value ? option.ItemOf(*value) : std::nullopt;
            placed.List->setCurrentIndex(item ? static_cast<int>(*item) : -1);
        } else {
            const bool second = values.Of(option) != option.Offered[0].Value;
            placed.Radios[second ? 1 : 0]->setChecked(true);
        }
    }
    rows_->Show(values);
}

void FormatOptionPanel::ApplyTo(OptionValues& values) const {
    for (const Placed& placed : placed_) {
        const FormatOption& option = *placed.Option;
        const int item =
            placed.List ? placed.List->currentIndex() : (placed.Radios[1]->isChecked() ? 1 : 0);
        if (item < 0) {
            values.Clear(option);
        } else {
            values.Set(option, option.Offered[static_cast<std::size_t>(item)].Value);
        }
    }
    rows_->ApplyTo(values);
}

void FormatOptionPanel::ShowTextChoice(const QString& name, const QString& details) {
    if (!name.isEmpty()) {
        choiceName_->setText(name);
    }
    if (!details.isEmpty()) {
        choiceDetails_->setText(details);
    }
}

QWidget* FormatOptionPanel::LastBeforeRows() const {
    return changeChoice_;
}
