#include <gtest/gtest.h>

#include "engine/MakeOutputPath.h"
#include "engine/RenameTable.h"
#include "TargetNumbers.h"

namespace {
DestinationSettings Same(uint8_t target) {
    return DestinationSettings::NextToInputs(target);
}
DestinationSettings Into(std::string folder, uint8_t target) {
    return DestinationSettings::Into(std::move(folder), target);
}
} // namespace

TEST(MakeOutputPath, FormsFolderNameAndTargetExtension) {
    EXPECT_EQ(MakeOutputPath("/music/song.mp3", Same(tfWave)), "/music/song.wav");
    EXPECT_EQ(MakeOutputPath("/music/song.mp3", Into("/out", tfWave)), "/out/song.wav");
    EXPECT_EQ(MakeOutputPath("/music/song.mp3", Into("/out/", tfWave)), "/out/song.wav");
    EXPECT_EQ(MakeOutputPath("/music/Song.Live.WAV", Same(tfMp3)), "/music/Song.Live.mp3");
    EXPECT_EQ(MakeOutputPath("/music/song.wav", Same(tfWMA)), "/music/song.wma");
    // A target byte that names no format gets no extension rather than another format's.
    EXPECT_EQ(MakeOutputPath("/music/song.wav", Same(9)), "/music/song");
}

TEST(MakeOutputPath, EdgeNames) {
    // An empty chosen folder leaves a name relative to the current folder.
    EXPECT_EQ(MakeOutputPath("/music/song.mp3", Into("", tfWave)), "song.wav");
    // A dot in a folder name is not an extension.
    EXPECT_EQ(MakeOutputPath("/a.b/track", Same(tfWave)), "/a.b/track.wav");
    // Same folder and same type: the output is the input itself.
    EXPECT_EQ(MakeOutputPath("/m/x.wav", Same(tfWave)), "/m/x.wav");
    // A bare name stays in the current folder.
    EXPECT_EQ(MakeOutputPath("song.mp3", Same(tfWave)), "song.wav");
}

TEST(RenameTable, FirstExactMatchWins) {
    RenameTable table;
    std::string path = "/out/a.wav";
    table.Apply(path);
    EXPECT_EQ(path, "/out/a.wav");

    // Paths differing in letter case name two files.
    table.Fill({{"/OUT/A.WAV", "/never/used.wav"},
                {"/out/a.wav", "/out/a (2).wav"},
                {"/out/a.wav", "/never/used.wav"}});
    table.Apply(path);
    EXPECT_EQ(path, "/out/a (2).wav");
    std::string other = "/out/b.wav";
    table.Apply(other);
    EXPECT_EQ(other, "/out/b.wav");

    table.Clear();
    EXPECT_EQ(table.Count(), 0u);
    std::string again = "/out/a.wav";
    table.Apply(again);
    EXPECT_EQ(again, "/out/a.wav");
}
