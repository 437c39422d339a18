#include <gtest/gtest.h>

#include "system/FileNames.h"

TEST(FileNames, SplitsAPathWithDotsInNameAndFolder) {
    EXPECT_EQ(GetFileExtension("/music/Song.Live.mp3"), ".mp3");
    EXPECT_EQ(GetFileNamePart("/music/Song.Live.mp3"), "Song.Live.mp3");
    EXPECT_EQ(RemoveExtension("/music/Song.Live.mp3"), "/music/Song.Live");
    EXPECT_EQ(GetFolderPart("/music/Song.Live.mp3"), "/music/");
    // A dot in a folder name is no extension.
    EXPECT_EQ(GetFileExtension("/My.Dir/Track"), ".");
    EXPECT_EQ(RemoveExtension("/My.Dir/Track"), "/My.Dir/Track");
}

TEST(FileNames, IsSafeOnDegenerateInput) {
    EXPECT_EQ(GetFileExtension(""), ".");
    EXPECT_EQ(GetFileNamePart(""), "");
    EXPECT_EQ(GetFolderPart(""), "");
    EXPECT_EQ(RemoveExtension(""), "");
    EXPECT_EQ(GetFileExtension("README"), ".");
    EXPECT_EQ(GetFileNamePart("README"), "README");
    EXPECT_EQ(GetFolderPart("README"), "README");
    EXPECT_EQ(GetFileExtension("x.WAV"), ".WAV");
    EXPECT_EQ(RemoveExtension("x.WAV"), "x");
    EXPECT_EQ(GetFileNamePart("/folder/"), "");
    EXPECT_EQ(GetFolderPart("/folder/"), "/folder/");
    EXPECT_EQ(GetFileExtension("/folder/."), ".");
    const std::string longName(100000, 'a');
    EXPECT_EQ(GetFileNamePart("/x/" + longName + ".wav"), longName + ".wav");
}

TEST(FileNames, AddsOneTrailingSeparator) {
    std::string empty, bare = "/a", ended = "/a/";
    WithTrailingSlash(empty);
    WithTrailingSlash(bare);
    WithTrailingSlash(ended);
    EXPECT_EQ(empty, "");
    EXPECT_EQ(bare, "/a/");
    EXPECT_EQ(ended, "/a/");
}
