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
    // Eliding measures advances in fractions of a pixel, which may add up to a little more than
    // the room a whole text drawn in it needs; the drawn glyphs can also reach one or two pixels
    // further, which would cut the last letter. A text that fits as drawn stays whole; one that
    // does not gives way a little more until it fits.
    QString shown = drawnWidth(fullText_) <= room.width()
                        ? fullText_
                        : metrics.elidedText(fullText_, Qt::ElideMiddle, room.width());
    for (int less = 1;
         shown != fullText_ && drawnWidth(shown) > room.width() && less < room.width(); ++less) {
        shown = metrics.elidedText(fullText_, Qt::ElideMiddle, room.width() - less);
    }
    setText(shown);
}
