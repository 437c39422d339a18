#pragma once
// imgState: the eight 16 x 16 pictures of the marks (the index is the mark, see
// selector/MarkState.h), shown in front of the selector's folders and files, in its key bar and
// in its pointer shapes.
#include <QIcon>
#include <array>

#include "selector/MarkState.h"

class StateImageList {
public:
    static constexpr int ImageSize = 16;

    StateImageList();
    // A null icon for an index outside 0 to 7.
    QIcon Icon(int state) const;

private:
    std::array<QIcon, StateImageCount> icons_;
};
