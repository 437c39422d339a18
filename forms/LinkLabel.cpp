#include "forms/LinkLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    ShowAsLink();
}

void LinkLabel::ShowAsLink() {
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    QPalette colours = palette();
    QColor link = colours.color(QPalette::Link);
    // A theme's dark window with the default dark blue would leave the link hard to read.
    if (colours.color(QPalette::Window).lightness() < 128 && qGray(link.rgb()) < 128) {
        link = QColor(0x93, 0xc5, 0xfd);
    }
    colours.setColor(QPalette::WindowText, link);
    setPalette(colours);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit clicked();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void LinkLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange) {
        setPalette(QPalette());
        ShowAsLink();
    }
}
