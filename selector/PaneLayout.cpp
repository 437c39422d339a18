#include "selector/PaneLayout.h"

namespace {
constexpr int BarMargin = 50;
constexpr int BarOverlap = 3;
constexpr int EdgeGap = 6;
constexpr int CaptionInset = 2;
} // namespace

int ClampBarLeft(int mouseX, int grabOffset, int formWidth) {
    int left = mouseX - grabOffset;
    if (left < BarMargin) {
        left = BarMargin;
    }
    if (left > formWidth - BarMargin) {
        left = formWidth - BarMargin;
    }
    return left;
}

PaneColumns LayoutPanes(int barLeft, int barWidth, int treeLeft, int listRight) {
    PaneColumns c{};
    c.treeWidth = barLeft - treeLeft + BarOverlap;
    c.foldersCaption = c.treeWidth - CaptionInset;
    c.listLeft = barLeft + barWidth - BarOverlap;
    c.listWidth = listRight - c.listLeft;
    c.locationLeft = c.listLeft + 1;
    c.locationWidth = c.listWidth - CaptionInset;
    return c;
}

PaneHeights FormResizeHeights(int workAreaHeight, int treeTop, int listTop, int keyBarHeight) {
    return {workAreaHeight - treeTop - keyBarHeight - EdgeGap,
            workAreaHeight - listTop - keyBarHeight - EdgeGap};
}

int FormResizeListWidth(int workAreaWidth, int listLeft) {
    return workAreaWidth - listLeft - EdgeGap;
}
