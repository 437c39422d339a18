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
    setText(fontMetrics().elidedText(fullText_, Qt::ElideMiddle, contentsRect().width()));
}
