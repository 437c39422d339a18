#include "selector/PaneLayout.h"

#include <algorithm>

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

int OpeningBarLeft(int designedBarLeft, int treeLeft, int formWidth, int widestName) {
    const int treeWidth = std::min(formWidth / 3, widestName);
    return std::min(std::max(designedBarLeft, treeLeft + treeWidth - BarOverlap),
                    std::max(designedBarLeft, formWidth - BarMargin));
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
