#pragma once
// The pointer shapes over the state images. Each custom cursor is an arrow with a 12 x 12 box at
// its lower right showing the mark a click will produce; the view draws it from the state image
// CursorStateImage(id) and installs it under its id.
#include <cstddef>
#include <optional>

enum SelectorCursor : int {
    crDefault = 0,    // the ordinary arrow
    crClearMark = 50, // click will clear the mark (state image 1)
    crJustFiles = 51, // click will mark the folder's own files (state image 4)
    crFully = 52,     // click will mark the folder with its sub-folders (state image 5)
    crTick = 53,      // click will mark the file (state image 6)
    crCross = 54,     // installed, shown by no rule (state image 7)
};
inline constexpr int FirstSelectorCursor = crClearMark;
inline constexpr int LastSelectorCursor = crCross;

// The state image drawn in the cursor's box; -1 for an id that is not a custom cursor.
int CursorStateImage(int cursorId);

// The cursor over a tree node's state image, for the mark the node shows now. Anywhere else on
// the tree the view uses crDefault.
int FolderMarkCursor(int shownState);

// The cursor over a file row's state box: nullopt (leave the cursor as it is) while two or more
// rows are selected, else from the row's FileMarkOf. Elsewhere on the list, with fewer than two
// rows selected, the view uses crDefault.
std::optional<int> FileMarkCursor(int fileMark, std::size_t selectedRows);

// True when a point lies on the 12 x 12 box drawn inside a row's 16 x 16 state image: x from the
// image's left edge, y from the row's top. Clicks and cursor changes on rows use this area only.
bool IsOnFileStateBox(int x, int yInRow);
