#include <gtest/gtest.h>

#include "selector/MarkState.h"
#include "selector/PaneLayout.h"
#include "selector/SelectorCursor.h"

TEST(SelectorViewHelpers, CursorsCaptionsAndTheResizeBar) {
    EXPECT_EQ(FolderMarkCursor(stNone), crFully);
    EXPECT_EQ(FolderMarkCursor(stFully), crJustFiles);
    EXPECT_EQ(FolderMarkCursor(stContainsFiles), crClearMark);
    EXPECT_EQ(FileMarkCursor(stFileConverted, 1), crClearMark);
    EXPECT_EQ(FileMarkCursor(stNone, 0), crTick);
    EXPECT_EQ(FileMarkCursor(stNone, 2), std::nullopt); // several rows: left as it is
    EXPECT_EQ(CursorStateImage(crJustFiles), stJustFiles);
    EXPECT_TRUE(IsOnFileStateBox(13, 3));
    EXPECT_FALSE(IsOnFileStateBox(14, 8) || IsOnFileStateBox(5, 2) || IsOnFileStateBox(5, 14));

    EXPECT_EQ(MarkCaption(stNone), "File Will not be Converted"); // folders too
    EXPECT_EQ(MarkCaption(stFully), "Convert All Files in Folder (inc Sub-folders)");
    EXPECT_EQ(MarkCaption(7), "");

    EXPECT_EQ(ClampBarLeft(300, 4, 800), 296);
    EXPECT_EQ(ClampBarLeft(10, 4, 800), 50);
    EXPECT_EQ(ClampBarLeft(1000, 4, 800), 750);
    EXPECT_EQ(LayoutPanes(200, 8, 0, 600).listWidth, 395); // the list's right edge stays
}
