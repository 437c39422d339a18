#pragma once
// The selector's pane arithmetic: the folder tree and the file list sit side by side in the work
// area with an 8-pixel resize bar between them, each overlapping the bar by 3 pixels; the key bar
// runs along the bottom. All values are pixels in the work area's (or the form's) coordinates.
// The view applies the numbers to its widgets; nothing here knows of a widget.

// Where the bar goes while it is dragged: mouseX is the pointer's x in the form, grabOffset the
// pointer's x inside the bar when the drag began. Kept between 50 and formWidth - 50.
int ClampBarLeft(int mouseX, int grabOffset, int formWidth);

// Where the bar stands as the window opens: the tree wide enough for its widest name
// (widestName, its frame included), or at least for a third of the window when that is less,
// and never narrower than designed; the bar stays within ClampBarLeft's bounds.
int OpeningBarLeft(int designedBarLeft, int treeLeft, int formWidth, int widestName);

struct PaneColumns {
    int treeWidth;      // folder tree
    int foldersCaption; // width of the " Folders" bar above the tree
    int listLeft;       // file list
    int listWidth;      // the list's right edge stays where it was
    int locationLeft;   // the location bar above the list
    int locationWidth;
};
// Horizontal layout after the bar moved to barLeft; listRight is the list's right edge before.
PaneColumns LayoutPanes(int barLeft, int barWidth, int treeLeft, int listRight);

struct PaneHeights {
    int treeHeight;
    int listHeight; // also the bar's height
};
// Vertical layout when the window is resized: tree and list end 6 pixels above the key bar.
PaneHeights FormResizeHeights(int workAreaHeight, int treeTop, int listTop, int keyBarHeight);
// Width of the file list when the window is resized: it ends 6 pixels from the right edge.
int FormResizeListWidth(int workAreaWidth, int listLeft);
