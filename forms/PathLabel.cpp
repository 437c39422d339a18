#include "forms/PathLabel.h"

#include <QFontMetrics>

PathLabel::PathLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    // The width comes from the layout, never from the text.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void PathLabel::SetFullText(const QString& text) {
    fullText_ = text;
    setToolTip(text);
    setAccessibleName(text);
    Elide();
}

QSize PathLabel::minimumSizeHint() const {
    // Any width will do: the text is elided to fit.
    return {0, QLabel::minimumSizeHint().height()};
}

void PathLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Elide();
}

void PathLabel::Elide() {
    const QFontMetrics metrics = fontMetrics();
    const QRect room = contentsRect();
    const auto drawnWidth = [&](const QString& text) {
        return metrics.boundingRect(room, static_cast<int>(alignment()), text).width();
    };
    // Eliding measures advances in fractions of a pixel; the drawn glyphs can reach one or two
    // pixels further, which would cut the last letter. Give way a little more until they fit.
    QString shown = metrics.elidedText(fullText_, Qt::ElideMiddle, room.width());
    for (int less = 1;
         shown != fullText_ && drawnWidth(shown) > room.width() && less < room.width(); ++less) {
        shown = metrics.elidedText(fullText_, Qt::ElideMiddle, room.width() - less);
    }
    setText(shown);
}
