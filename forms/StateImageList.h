#pragma once
// imgState: the eight 16 x 16 pictures of the marks (the index is the mark, see
// selector/MarkState.h), shown in front of the selector's folders and files, in its key bar and
// in its pointer shapes. They are the help pages' pictures; on a dark palette their boxes take
// the views' dark base and their marks lighter colours, so that an empty box is no bright square.
#include <QIcon>
#include <array>

#include "selector/MarkState.h"

#include <QPalette>

class StateImageList {
public:
    static constexpr int ImageSize = 16;

    // palette: the views' (by default the application's).
    explicit StateImageList(const QPalette& palette = QPalette());
    // A null icon for an index outside 0 to 7.
    QIcon Icon(int state) const;
    // True when the palette's views are dark.
    static bool IsDark(const QPalette& palette);

private:
    std::array<QIcon, StateImageCount> icons_;
};
