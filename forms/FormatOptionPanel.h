#pragma once
// The options form's controls for the chosen target format's options, made from the formats' rows
// (FormatInfo::Options, FormatInfo::TextOption). An option with words of its own (a Label, or a
// switch's two offered texts) sits in a grid of pictures: a switch as a pair of radio buttons in
// the left column, a list at the right with its picture, or across both without one. A format's
// text choice shows as two lines and a "Change" button. The options captioned by their Caption
// follow in rows (FormatOptionRows). A list that replaces another (FormatOption::Replaces) leaves
// that one's list disabled while it is on.
#include <QWidget>
#include <string_view>
#include <vector>

#include "catalog/OptionValues.h"

struct FormatInfo;
struct FormatOption;
class FormatOptionRows;
class QComboBox;
class QGridLayout;
class QLabel;
class QRadioButton;

class FormatOptionPanel : public QWidget {
    Q_OBJECT
public:
    explicit FormatOptionPanel(QWidget* parent = nullptr);

    void ShowFor(uint8_t target);
    // Shows the options' values: a list without a chosen value shows no selection.
    void Show(const OptionValues& values);
    // Puts the shown values into values; a list without a selection clears its option.
    void ApplyTo(OptionValues& values) const;
    // The text choice's lines; an empty text leaves its line as it was.
    void ShowTextChoice(const QString& name, const QString& details);
    // The last control the tab reaches before the rows.
    QWidget* LastBeforeRows() const;

signals:
    // "Change" was clicked: the form lets the user choose the text choice anew.
    void ChangeTextChoice();

private:
    struct Placed {
        const FormatOption* Option;
        std::vector<QWidget*> Widgets;     // every one it shows, its pictures and words too
        QComboBox* List = nullptr;         // nullptr for a switch
        std::vector<QRadioButton*> Radios; // a switch's, one per offered value
    };
    void AddBlock(const FormatInfo& format);
    void AddSwitch(const FormatOption& option, int& row);
    void AddList(const FormatOption& option, int& left, int& right);
    QLabel* Picture(std::string_view name, const QString& objectName);
    void AddTextChoice();
    void FollowReplacing(const Placed& replacing);

    QGridLayout* grid_;
    int nextRow_ = 0;
    std::vector<Placed> placed_;
    QLabel* choiceName_ = nullptr;
    QLabel* choiceDetails_ = nullptr;
    QWidget* changeChoice_ = nullptr;
    FormatOptionRows* rows_ = nullptr;
};
