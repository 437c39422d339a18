#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "sinks/BlockAligner.h"

namespace {
std::vector<uint8_t> Ramp(size_t n, uint8_t start = 0) {
    std::vector<uint8_t> v(n);
    std::iota(v.begin(), v.end(), start);
    return v;
}
} // namespace

TEST(BlockAligner, RoundedCapacities) {
    const std::pair<uint32_t, uint32_t> cases[] = {{4, 16384},    {1024, 16384},  {3, 16383},
                                                   {6000, 12000}, {20000, 20000}, {0, 16384}};
    for (auto [block, capacity] : cases)
        EXPECT_EQ(BlockAligner(block, false).Capacity(), capacity) << block;
    EXPECT_EQ(BlockAligner(2304, true).Capacity(), 2304u);
}

TEST(BlockAligner, WholeBlocksArePointersIntoTheInput) {
    BlockAligner x(4, true);
    const auto in = Ramp(12);
    x.SetInput(in.data(), 12);
    uint32_t len = 0;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(x.NextBlock(len), in.data() + 4 * i);
        EXPECT_EQ(len, 4u);
    }
    EXPECT_EQ(x.NextBlock(len), nullptr);
    EXPECT_EQ(len, 0u);
    EXPECT_EQ(x.Held(), 0u);
}

TEST(BlockAligner, RemainderWaitsAndIsCompletedByTheNextInput) {
    BlockAligner x(4, true);
    const auto a = Ramp(10);
    x.SetInput(a.data(), 10);
    uint32_t len = 0;
    EXPECT_EQ(x.NextBlock(len), a.data());
    EXPECT_EQ(x.NextBlock(len), a.data() + 4);
    EXPECT_EQ(x.NextBlock(len), nullptr);
    EXPECT_EQ(x.Held(), 2u);

    const auto b = Ramp(6, 10);
    x.SetInput(b.data(), 6);
    const uint8_t* block = x.NextBlock(len);
    ASSERT_NE(block, nullptr);
    EXPECT_NE(block, b.data());
    EXPECT_EQ(std::vector<uint8_t>(block, block + len), (std::vector<uint8_t>{8, 9, 10, 11}));
    EXPECT_EQ(x.NextBlock(len), b.data() + 2);
    EXPECT_EQ(x.NextBlock(len), nullptr);

    // An empty input changes nothing.
    x.SetInput(b.data(), 0);
    EXPECT_EQ(x.NextBlock(len), nullptr);
    EXPECT_EQ(x.Held(), 0u);
}

TEST(BlockAligner, PutBackAfterABlockFromTheInput) {
    BlockAligner x(16, true);
    const auto in = Ramp(40);
    x.SetInput(in.data(), 40);
    uint32_t len = 0;
    x.NextBlock(len);
    x.PutBack(10);
    EXPECT_EQ(x.NextBlock(len), in.data() + 6);
    x.PutBack(4); // a consumer that stops early takes the rest, in order
    std::vector<uint8_t> rest;
    x.TakeRest(rest);
    EXPECT_EQ(rest, Ramp(22, 18));
    EXPECT_EQ(x.NextBlock(len), nullptr);
}

TEST(BlockAligner, PutBackAfterTheInternalBuffer) {
    BlockAligner x(8, true);
    const auto a = Ramp(4);
    x.SetInput(a.data(), 4);
    uint32_t len = 0;
    x.NextBlock(len);
    const auto b = Ramp(20, 4);
    x.SetInput(b.data(), 20);
    const uint8_t* block = x.NextBlock(len);
    ASSERT_EQ(len, 8u);
    EXPECT_EQ(block[0], 0);
    x.PutBack(3); // bytes 5, 6, 7 move to the front, followed by fresh input 8..12
    block = x.NextBlock(len);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(block, block + len),
              (std::vector<uint8_t>{5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(x.NextBlock(len), b.data() + 9);
    EXPECT_EQ(x.NextBlock(len), nullptr);
    EXPECT_EQ(x.Held(), 3u);
    std::vector<uint8_t> rest;
    x.TakeRest(rest);
    EXPECT_EQ(rest, (std::vector<uint8_t>{21, 22, 23}));
    EXPECT_EQ(x.Held(), 0u);
}
