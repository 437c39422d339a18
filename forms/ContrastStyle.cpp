#include "forms/ContrastStyle.h"

#include <QApplication>
#include <QStyleOptionButton>

namespace {
// Fusion's outline of these indicators is the window colour made darker by this factor.
constexpr int FusionOutlineDarkening = 140;

bool IsDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

QColor Halfway(const QColor& a, const QColor& b) {
    return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}
} // namespace

void ContrastStyle::Install() {
    // The application takes ownership of its style.
    QApplication::setStyle(new ContrastStyle(QApplication::style()->name()));
}

ContrastStyle::ContrastStyle(const QString& baseKey)
    : QProxyStyle(baseKey),
      fusion_(baseStyle()->name().compare("fusion", Qt::CaseInsensitive) == 0) {}

void ContrastStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if (!fusion_ || !button || !IsDark(option->palette) ||
        (element != PE_IndicatorRadioButton && element != PE_IndicatorCheckBox)) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // The window colour in the option only feeds the outline, so it is lightened as much as
    // Fusion darkens it.
    QStyleOptionButton lighter(*button);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor outline = Halfway(option->palette.color(group, QPalette::Window),
                                       option->palette.color(group, QPalette::WindowText));
        lighter.palette.setColor(group, QPalette::Window, outline.lighter(FusionOutlineDarkening));
    }
    QProxyStyle::drawPrimitive(element, &lighter, painter, widget);
}
