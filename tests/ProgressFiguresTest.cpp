#include <gtest/gtest.h>

#include "engine/ProgressFigures.h"

TEST(ProgressFigures, HalfOfTheFirstOfTwoFiles) {
    // 1000 + 3000 bytes, the first file half done.
    const int32_t progress[2] = {2, 1};
    const ProgressFigures f = ComputeProgressFigures(progress, 1000, 0, 4000);
    EXPECT_EQ(f.FilePcWidth, 129);
    EXPECT_EQ(f.FileDone, 500u);
    EXPECT_EQ(f.TotalPcWidth, 31); // 12 % of 259, truncated
    EXPECT_EQ(ProgressTitle(f.TotalPcWidth), "BMC 11% Converted");
}

TEST(ProgressFigures, TruncationsFollowTheirOwnOrder) {
    // The file's share uses its truncated percentage: 2/3 is 66 %, so 66 of 100 bytes.
    const int32_t twoThirds[2] = {3, 2};
    const ProgressFigures f = ComputeProgressFigures(twoThirds, 100, 0, 100);
    EXPECT_EQ(f.FilePcWidth, 172); // 66.67 % of 259 = 172.67
    EXPECT_EQ(f.FileDone, 66u);
    EXPECT_EQ(f.TotalPcWidth, 170); // 66 * 259 / 100
    // A total of 0 counts as 1; a finished file fills its bar exactly.
    const int32_t zeroTotal[2] = {0, 0};
    EXPECT_EQ(ComputeProgressFigures(zeroTotal, 10, 0, 10).FilePcWidth, 0);
    const int32_t whole[2] = {7, 7};
    EXPECT_EQ(ComputeProgressFigures(whole, 10, 0, 10).FilePcWidth, 259);
    EXPECT_EQ(ComputeProgressFigures(whole, 10, 0, 10).TotalPcWidth, 259);
    // Earlier files count with their whole size.
    const int32_t none[2] = {100, 0};
    EXPECT_EQ(ComputeProgressFigures(none, 3000, 1000, 4000).TotalPcWidth, 64); // 25 %
}

TEST(ProgressFigures, OverReportingSourcesAreShownAsFullBars) {
    const int32_t over[2] = {10, 30};
    const ProgressFigures f = ComputeProgressFigures(over, 100, 0, 100);
    EXPECT_EQ(f.FilePcWidth, 777);
    EXPECT_EQ(ClampBarWidth(f.FilePcWidth), 259);
    EXPECT_EQ(ClampBarWidth(f.TotalPcWidth), 259);
    EXPECT_EQ(ClampBarWidth(-3), -3); // no lower clamp
    // Counts read as unsigned: a "negative" done is enormous, never a negative width.
    const int32_t wild[2] = {1, -1};
    const ProgressFigures w = ComputeProgressFigures(wild, 1u << 30, 0, 1);
    EXPECT_GT(w.FilePcWidth, 259);
    EXPECT_GE(w.TotalPcWidth, 0);
    EXPECT_EQ(ProgressTitle(ClampBarWidth(w.TotalPcWidth)), "BMC 100% Converted");
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
