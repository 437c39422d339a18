#include "forms/StateImageDelegate.h"

#include <QAbstractItemView>
#include <QPainter>

#include "forms/StateImageList.h"

namespace {
bool HasState(const QModelIndex& index) {
    return index.column() == 0 && index.data(StateImageDelegate::StateRole).isValid();
}

// The width the style gives an item's icon, with its margins.
int IconSpace(const QAbstractItemView& view) {
    const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
    const int icon = view.iconSize().isValid()
                         ? view.iconSize().width()
                         : view.style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, &view);
    return icon + 2 * margin;
}
} // namespace

StateImageDelegate::StateImageDelegate(const StateImageList& images, QObject* parent)
    : QStyledItemDelegate(parent), images_(images) {}

QRect StateImageDelegate::StateImageRect(const QRect& itemRect) {
    const int size = StateImageList::ImageSize;
    return {itemRect.left() + 1, itemRect.top() + (itemRect.height() - size) / 2, size, size};
}

void StateImageDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    if (!HasState(index)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    images_.Icon(index.data(StateRole).toInt()).paint(painter, StateImageRect(option.rect));
    QStyleOptionViewItem rest = option;
    rest.rect.setLeft(option.rect.left() + StateSpace);
    QStyledItemDelegate::paint(painter, rest, index);
}

QSize StateImageDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (HasState(index)) {
        size.rwidth() += StateSpace;
        size.setHeight(std::max(size.height(), StateImageList::ImageSize + 2));
    }
    return size;
}

StateImageDelegate::Part StateImageDelegate::PartAt(const QAbstractItemView& view, QPoint pos,
                                                    QModelIndex* index) {
    const QModelIndex at = view.indexAt(pos);
    if (index) {
        *index = at;
    }
    if (!at.isValid()) {
        return Part::None;
    }
    if (at.column() != 0) {
        return Part::Label;
    }
    const QRect rect = view.visualRect(at);
    const int x = pos.x() - rect.left();
    if (x < 0) {
        return Part::None;
    }
    if (HasState(at) && x < StateSpace) {
        return Part::StateImage;
    }
    const int iconLeft = HasState(at) ? StateSpace : 0;
    const bool hasIcon = !at.data(Qt::DecorationRole).isNull();
    return hasIcon && x < iconLeft + IconSpace(view) ? Part::Icon : Part::Label;
}
