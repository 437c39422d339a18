#pragma once
// Draws an item's state image (its mark, kept in StateRole) in front of its icon and text, as
// the selector's folder tree and file list show them. Only items of the first column carry one.
// The selection highlight leaves the state image alone.
#include <QStyledItemDelegate>

class QAbstractItemView;
class StateImageList;

class StateImageDelegate : public QStyledItemDelegate {
public:
    static constexpr int StateRole = Qt::UserRole + 1;
    // The state image and a small gap before the icon.
    static constexpr int StateSpace = 18;

    // Where a point of a view falls on an item.
    enum class Part { None, StateImage, Icon, Label };

    StateImageDelegate(const StateImageList& images, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The 16 x 16 state image within the rectangle of an item of the first column.
    static QRect StateImageRect(const QRect& itemRect);
    // The part of an item at pos (viewport coordinates); index, when given, receives the item.
    // Left of an item's rectangle (a tree's indentation and expand button) is Part::None.
    static Part PartAt(const QAbstractItemView& view, QPoint pos, QModelIndex* index = nullptr);

private:
    const StateImageList& images_;
};
