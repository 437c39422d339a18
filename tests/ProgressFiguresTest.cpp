#include <gtest/gtest.h>

#include "engine/ProgressFigures.h"

TEST(ProgressFigures, HalfOfTheFirstOfTwoFiles) {
    // 1000 + 3000 bytes, the first file half done.
    const double percent = FilePercent(2, 1);
    EXPECT_EQ(FileBarWidth(percent), 129);
    EXPECT_EQ(FileBytesDone(1000, percent), 500u);
    EXPECT_EQ(TotalBarWidth(500, 4000), 31); // 12 % of 259, truncated
    EXPECT_EQ(ProgressTitle(31), "BMC 11% Converted");
}

TEST(ProgressFigures, TruncationsFollowTheirOwnOrder) {
    // The file's share uses its truncated percentage: 2/3 is 66 %, so 66 of 100 bytes.
    const double twoThirds = FilePercent(3, 2);
    EXPECT_EQ(FileBarWidth(twoThirds), 172); // 66.67 % of 259 = 172.67
    EXPECT_EQ(FileBytesDone(100, twoThirds), 66u);
    EXPECT_EQ(TotalBarWidth(66, 100), 170); // 66 * 259 / 100
    // A total of 0 counts as 1; a finished file fills its bar exactly.
    EXPECT_EQ(FileBarWidth(FilePercent(0, 0)), 0);
    EXPECT_EQ(FileBarWidth(FilePercent(7, 7)), 259);
    EXPECT_EQ(TotalBarWidth(10, 10), 259);
    EXPECT_EQ(TotalBarWidth(0, 0), 0);
    // Earlier files count with their whole size.
    EXPECT_EQ(TotalBarWidth(1000 + FileBytesDone(3000, FilePercent(100, 0)), 4000), 64); // 25 %
}

TEST(ProgressFigures, OverReportingSourcesAreShownAsFullBars) {
    const double over = FilePercent(10, 30);
    EXPECT_EQ(FileBarWidth(over), 777);
    EXPECT_EQ(ClampBarWidth(FileBarWidth(over)), 259);
    EXPECT_EQ(ClampBarWidth(TotalBarWidth(FileBytesDone(100, over), 100)), 259);
    EXPECT_EQ(ClampBarWidth(-3), -3); // no lower clamp
    // Counts read as unsigned: a "negative" done is enormous, never a negative width.
    const double wild = FilePercent(1, -1);
    EXPECT_GT(FileBarWidth(wild), 259);
    EXPECT_GE(TotalBarWidth(FileBytesDone(1u << 30, wild), 1), 0);
    EXPECT_EQ(ProgressTitle(ClampBarWidth(TotalBarWidth(FileBytesDone(1u << 30, wild), 1))),
              "BMC 100% Converted");
}

TEST(ProgressFigures, SecondsLeftIsAPlainProportionOfWholeSeconds) {
    // 6.999 s for a quarter: three times as long again, counted from 6 whole seconds.
    EXPECT_EQ(ComputeSecondsLeft(6999, 1000, 4000), 18);
    EXPECT_EQ(ComputeSecondsLeft(10000, 0, 4000), 39990); // nothing done counts as 1 byte
    EXPECT_EQ(ComputeSecondsLeft(10000, 4000, 4000), 0);
    EXPECT_EQ(ComputeSecondsLeft(10000, 5000, 4000), -2); // signed: more done than planned
    EXPECT_EQ(ComputeSecondsLeft(999, 1, 1000000), 0);    // under a second elapsed
}

TEST(ProgressFigures, TimeRemainingText) {
    EXPECT_EQ(TimeRemainingText(3725), "Time Remaining : 1:02.05");
    EXPECT_EQ(TimeRemainingText(0), "Time Remaining : 0:00.00");
    EXPECT_EQ(TimeRemainingText(59), "Time Remaining : 0:00.59");
    EXPECT_EQ(TimeRemainingText(36000 + 3599), "Time Remaining : 10:59.59");
}

TEST(ProgressFigures, TitleUsesTheClampedBarWidth) {
    EXPECT_EQ(ProgressTitle(0), "BMC 0% Converted");
    EXPECT_EQ(ProgressTitle(258), "BMC 99% Converted");
    EXPECT_EQ(ProgressTitle(259), "BMC 100% Converted");
}
