#include <gtest/gtest.h>

#include "selector/MarkState.h"
#include "selector/PaneLayout.h"
#include "selector/SelectorCursor.h"

TEST(SelectorViewHelpers, CursorsShowWhatAClickWillDo) {
    EXPECT_EQ(FolderMarkCursor(stNone), crFully);
    EXPECT_EQ(FolderMarkCursor(stFully), crJustFiles);
    for (int shown : {stToSelected, stContainsFiles, stJustFiles}) {
        EXPECT_EQ(FolderMarkCursor(shown), crClearMark);
    }
    EXPECT_EQ(FileMarkCursor(stFileConverted, 0), crClearMark);
    EXPECT_EQ(FileMarkCursor(stNone, 1), crTick);
    EXPECT_EQ(FileMarkCursor(stNone, 2), std::nullopt);
    EXPECT_EQ(FileMarkCursor(stFileConverted, 5), std::nullopt);

    std::vector<int> images;
    for (int id = FirstSelectorCursor; id <= LastSelectorCursor; ++id) {
        images.push_back(CursorStateImage(id));
    }
    EXPECT_EQ(images, (std::vector<int>{1, 4, 5, 6, 7}));
    EXPECT_EQ(CursorStateImage(crDefault), -1);

    EXPECT_TRUE(IsOnFileStateBox(0, 3));
    EXPECT_TRUE(IsOnFileStateBox(13, 13));
    EXPECT_FALSE(IsOnFileStateBox(14, 8));
    EXPECT_FALSE(IsOnFileStateBox(5, 2));
    EXPECT_FALSE(IsOnFileStateBox(5, 14));
}

TEST(SelectorViewHelpers, KeyCaptionsNameEveryShownMark) {
    EXPECT_EQ(MarkCaption(stNone), "File Will not be Converted");
    EXPECT_EQ(MarkCaption(stFully), "Convert All Files in Folder (inc Sub-folders)");
    EXPECT_EQ(MarkCaption(stJustFiles), "Convert All Files in Folder (exc sub-folders)");
    EXPECT_EQ(MarkCaption(stFileConverted), "This File will be Converted");
    EXPECT_EQ(MarkCaption(stToSelected), "To Selected Files and Folders");
    EXPECT_EQ(MarkCaption(stContainsFiles), "Contains Files to be Converted");
    EXPECT_EQ(MarkCaption(0), "");
    EXPECT_EQ(MarkCaption(7), "");
    EXPECT_EQ(KeyBarStates, (std::array<int, 6>{2, 3, 5, 4, 6, 1}));
}

TEST(SelectorViewHelpers, TheResizeBarStaysFiftyPixelsFromEitherEdge) {
    EXPECT_EQ(ClampBarLeft(300, 4, 800), 296);
    EXPECT_EQ(ClampBarLeft(10, 4, 800), 50);
    EXPECT_EQ(ClampBarLeft(1000, 4, 800), 750);

    const PaneColumns c = LayoutPanes(200, 8, 0, 600);
    EXPECT_EQ(c.treeWidth, 203);
    EXPECT_EQ(c.foldersCaption, 201);
    EXPECT_EQ(c.listLeft, 205);
    EXPECT_EQ(c.listWidth, 395); // the right edge stays at 600
    EXPECT_EQ(c.locationLeft, 206);
    EXPECT_EQ(c.locationWidth, 393);

    const PaneHeights h = FormResizeHeights(441, 17, 17, 41);
    EXPECT_EQ(h.treeHeight, 377);
    EXPECT_EQ(h.listHeight, 377);
    EXPECT_EQ(FormResizeListWidth(626, 205), 415);
}
