#pragma once
// The selector's pointer shapes (ids in selector/SelectorCursor.h): an arrow with a box at its
// lower right that shows the mark a click will produce, drawn from the state images.
#include <QCursor>
#include <array>

#include "selector/SelectorCursor.h"

class StateImageList;

class SelectorCursors {
public:
    // pixelRatio: of the screen the pointer is shown on, so that the picture stays sharp.
    SelectorCursors(const StateImageList& images, qreal pixelRatio);
    // crDefault, and any id that is not one of the five, give the ordinary arrow.
    QCursor Cursor(int id) const;

private:
    std::array<QCursor, LastSelectorCursor - FirstSelectorCursor + 1> cursors_;
};
