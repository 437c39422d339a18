#include "forms/SelectorCursors.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

#include "forms/StateImageList.h"

namespace {
constexpr int CursorSize = 32;
// The state image's box (12 x 12 inside the 16 x 16 picture) sits below and right of the tip.
constexpr QPoint BoxPicture(14, 13);

QPixmap DrawCursor(const QIcon& mark, qreal pixelRatio) {
    QPixmap pixmap(QSize(CursorSize, CursorSize) * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPolygonF arrow(
        {{0.5, 0.5}, {0.5, 17.5}, {4.5, 13.5}, {7.5, 19.5}, {10, 18.5}, {7, 12.5}, {12.5, 12.5}});
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawPolygon(arrow);
    mark.paint(&painter,
               QRect(BoxPicture, QSize(StateImageList::ImageSize, StateImageList::ImageSize)));
    return pixmap;
}
} // namespace

SelectorCursors::SelectorCursors(const StateImageList& images, qreal pixelRatio) {
    for (int id = FirstSelectorCursor; id <= LastSelectorCursor; ++id) {
        cursors_[id - FirstSelectorCursor] =
            QCursor(DrawCursor(images.Icon(CursorStateImage(id)), pixelRatio), 0, 0);
    }
}

QCursor SelectorCursors::Cursor(int id) const {
    if (id < FirstSelectorCursor || id > LastSelectorCursor) {
        return QCursor(Qt::ArrowCursor);
    }
    return cursors_[id - FirstSelectorCursor];
}
