#include "LayoutCheck.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QToolButton>
#include <vector>

#include "forms/PathLabel.h"

namespace formtest {
namespace {

QString NameOf(const QWidget* widget) {
    const QString name = widget->objectName();
    return name.isEmpty() ? QString::fromLatin1(widget->metaObject()->className()) : name;
}

QString SizeText(const QSize& size) {
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

bool Fits(const QSize& needed, const QSize& room) {
    return needed.width() <= room.width() && needed.height() <= room.height();
}

// "lblBitRate cuts "Bit Rate" short: needs 64x19, has 64x17"
void CheckFit(const QWidget* widget, const QString& what, const QSize& needed, const QSize& room,
              QStringList& faults) {
    if (!Fits(needed, room)) {
        faults << NameOf(widget) + " cuts " + what + " short: needs " + SizeText(needed) +
                      ", has " + SizeText(room);
    }
}

QString Quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// The text as drawn: "&&" shows one ampersand, a single one marks the mnemonic.
QString WithoutMnemonic(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

// The parts that Qt builds inside these widgets are the widgets' own business.
bool HasOwnInsides(const QWidget* widget) {
    return qobject_cast<const QAbstractScrollArea*>(widget) ||
           qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) || qobject_cast<const QLineEdit*>(widget);
}

std::vector<const QWidget*> ShownChildren(const QWidget* parent, const QWidget* window) {
    std::vector<const QWidget*> shown;
    for (const QObject* object : parent->children()) {
        const auto* child = qobject_cast<const QWidget*>(object);
        if (child && !child->isWindow() && child->isVisibleTo(window) &&
            !child->objectName().startsWith(QLatin1String("qt_"))) {
            shown.push_back(child);
        }
    }
    return shown;
}

bool MeantToOverlap(const LayoutDesign& design, const QWidget* one, const QWidget* other) {
    return design.overlaps.contains({one->objectName(), other->objectName()}) ||
           design.overlaps.contains({other->objectName(), one->objectName()});
}

void CheckPlacement(const QWidget* parent, const std::vector<const QWidget*>& children,
                    const LayoutDesign& design, QStringList& faults) {
    for (std::size_t i = 0; i < children.size(); ++i) {
        const QRect area = children[i]->geometry();
        if (!area.isEmpty() && !parent->rect().contains(area)) {
            faults << NameOf(children[i]) + " sticks out of " + NameOf(parent);
        }
        for (std::size_t j = i + 1; j < children.size(); ++j) {
            if (area.intersects(children[j]->geometry()) &&
                !MeantToOverlap(design, children[i], children[j])) {
                faults << NameOf(children[i]) + " and " + NameOf(children[j]) + " overlap in " +
                              NameOf(parent);
            }
        }
    }
}

void CheckPicture(const QLabel* label, const LayoutDesign& design, QStringList& faults) {
    const QPixmap picture = label->pixmap();
    if (!picture.isNull() && !label->hasScaledContents() &&
        !design.croppedPictures.contains(label->objectName())) {
        CheckFit(label, QStringLiteral("its picture"), picture.deviceIndependentSize().toSize(),
                 label->contentsRect().size(), faults);
    }
}

// A path label's middle gives way by design, but only when the whole text would not fit as drawn
// (its glyphs may reach a pixel or two past its advance: a text between the two gives way).
void CheckElision(const PathLabel* label, const QRect& room, QStringList& faults) {
    const QString whole = label->toolTip();
    const int drawn = label->fontMetrics()
                          .boundingRect(room, static_cast<int>(label->alignment()), whole)
                          .width();
    if (label->text() != whole && drawn <= room.width()) {
        faults << NameOf(label) + " elides " + Quoted(whole) + " although it fits";
    }
}

void CheckLabelText(const QLabel* label, QStringList& faults) {
    const QString text = label->text();
    if (label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
        // Laid out as a document: the label's own hints say what it needs, frame included.
        const QSize needed = label->wordWrap()
                                 ? QSize(label->width(), label->heightForWidth(label->width()))
                                 : label->minimumSizeHint();
        CheckFit(label, Quoted(text), needed, label->size(), faults);
        return;
    }
    const int margin = label->margin();
    const QRect room = label->contentsRect().adjusted(margin, margin, -margin, -margin);
    if (const auto* path = qobject_cast<const PathLabel*>(label)) {
        CheckElision(path, room, faults);
    }
    const int flags = (label->wordWrap() ? Qt::TextWordWrap : 0) |
                      (label->buddy() ? Qt::TextShowMnemonic : 0) |
                      static_cast<int>(label->alignment());
    CheckFit(label, Quoted(text), label->fontMetrics().boundingRect(room, flags, text).size(),
             room.size(), faults);
}

QRect ButtonContents(const QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    QStyle::SubElement element = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QRadioButton*>(button)) {
        element = QStyle::SE_RadioButtonContents;
    } else if (qobject_cast<const QCheckBox*>(button)) {
        element = QStyle::SE_CheckBoxContents;
    }
    return button->style()->subElementRect(element, &option, button);
}

void CheckButton(const QAbstractButton* button, QStringList& faults) {
    const auto* tool = qobject_cast<const QToolButton*>(button);
    if (button->text().isEmpty() || (tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly)) {
        return;
    }
    const QString text = WithoutMnemonic(button->text());
    const QFontMetrics metrics = button->fontMetrics();
    const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
    const QSize needed(metrics.horizontalAdvance(text) + icon, metrics.height());
    CheckFit(button, Quoted(text), needed,
             tool ? button->rect().size() : ButtonContents(button).size(), faults);
}

// Every item, not only the one shown now: any may be chosen.
void CheckComboBox(const QComboBox* combo, QStringList& faults) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    const QRect room = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, combo);
    const QFontMetrics metrics = combo->fontMetrics();
    for (int item = 0; item < combo->count(); ++item) {
        const QString text = combo->itemText(item);
        CheckFit(combo, Quoted(text), QSize(metrics.horizontalAdvance(text), metrics.height()),
                 room.size(), faults);
    }
}

void CheckHeader(const QHeaderView* header, QStringList& faults) {
    const QAbstractItemModel* model = header->model();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const QFontMetrics metrics = header->fontMetrics();
    for (int section = 0; model && section < header->count(); ++section) {
        if (!header->isSectionHidden(section)) {
            const QString text = model->headerData(section, header->orientation()).toString();
            const QSize needed(metrics.horizontalAdvance(text) + 2 * margin, metrics.height());
            CheckFit(header->parentWidget(), Quoted(text), needed,
                     QSize(header->sectionSize(section), header->height()), faults);
        }
    }
}

void CheckContents(const QWidget* widget, const LayoutDesign& design, QStringList& faults) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        CheckPicture(label, design, faults);
        if (!label->text().isEmpty()) {
            CheckLabelText(label, faults);
        }
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        CheckButton(button, faults);
    } else if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        CheckComboBox(combo, faults);
    } else if (const auto* view = qobject_cast<const QAbstractItemView*>(widget)) {
        for (const QHeaderView* header : view->findChildren<QHeaderView*>()) {
            if (header->isVisibleTo(widget)) {
                CheckHeader(header, faults);
            }
        }
    }
}

void CheckWidget(const QWidget* widget, const QWidget* window, const LayoutDesign& design,
                 QStringList& faults) {
    CheckContents(widget, design, faults);
    if (HasOwnInsides(widget)) {
        return;
    }
    const std::vector<const QWidget*> children = ShownChildren(widget, window);
    CheckPlacement(widget, children, design, faults);
    for (const QWidget* child : children) {
        CheckWidget(child, window, design, faults);
    }
}

} // namespace

QStringList LayoutFaults(const QWidget* window, const LayoutDesign& design) {
    QStringList faults;
    CheckWidget(window, window, design, faults);
    return faults;
}

} // namespace formtest
