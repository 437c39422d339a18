#include "selector/SelectorCursor.h"

#include "selector/MarkState.h"

int CursorStateImage(int cursorId) {
    switch (cursorId) {
    case crClearMark:
        return stNone;
    case crJustFiles:
        return stJustFiles;
    case crFully:
        return stFully;
    case crTick:
        return stFileConverted;
    case crCross:
        return 7;
    default:
        return -1;
    }
}

int FolderMarkCursor(int shownState) {
    // A click cycles a folder 1 -> 5 -> 4 -> 1; from 2 and 3 it clears.
    if (shownState == stNone) {
        return crFully;
    }
    return shownState == stFully ? crJustFiles : crClearMark;
}

std::optional<int> FileMarkCursor(int fileMark, std::size_t selectedRows) {
    if (selectedRows >= 2) {
        return std::nullopt;
    }
    return fileMark == stFileConverted ? crClearMark : crTick;
}

bool IsOnFileStateBox(int x, int yInRow) {
    return x >= 0 && x < 14 && yInRow > 2 && yInRow < 14;
}
