#include "core/sample_queue.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace orv {
namespace {

std::vector<std::uint8_t> contents(const SampleQueue& q) { return {q.view().begin(), q.view().end()}; }

TEST(SampleQueue, FirstInFirstOutWithPrependAndTruncate) {
    SampleQueue q;
    const std::vector<std::uint8_t> abc{1, 2, 3};
    q.append(abc);
    q.append(4);
    q.removeFirst(2);
    EXPECT_EQ(contents(q), (std::vector<std::uint8_t>{3, 4}));
    q.prepend(std::vector<std::uint8_t>{8, 9});
    EXPECT_EQ(contents(q), (std::vector<std::uint8_t>{8, 9, 3, 4}));
    q.truncate(3);
    EXPECT_EQ(contents(q), (std::vector<std::uint8_t>{8, 9, 3}));
    q.truncate(10);
    EXPECT_EQ(q.length(), 3u);
    EXPECT_EQ(q.first(2).size(), 2u);
    EXPECT_EQ(q.first(99).size(), 3u);
}

TEST(SampleQueue, DeletingMoreThanItHoldsEmptiesIt) {
    SampleQueue q;
    q.appendRepeated(7, 10);
    q.removeFirst(11);
    EXPECT_TRUE(q.empty());
    q.removeFirst(1);
    EXPECT_TRUE(q.empty());
    q.append(5);
    EXPECT_EQ(contents(q), std::vector<std::uint8_t>{5});
}

TEST(SampleQueue, LongRunOfAppendsAndRemovalsKeepsOrder) {
    SampleQueue q;
    std::uint8_t next = 0;
    std::uint8_t expected = 0;
    for (int round = 0; round < 1000; ++round) {
        for (int i = 0; i < 37; ++i) q.append(next++);
        for (int i = 0; i < 29 && !q.empty(); ++i) {
            ASSERT_EQ(q[0], expected++);
            q.removeFirst(1);
        }
    }
    EXPECT_EQ(q.length(), 1000u * (37 - 29));
}

TEST(SampleLanes, SamplesSplitIntoLowAndHighBytesAndLanesStayEqual) {
    SampleLanes lanes;
    lanes.appendSample(-2);
    lanes.appendSample(0x1234);
    lanes.appendSilence(3);
    EXPECT_EQ(lanes.low[0], 0xFE);
    EXPECT_EQ(lanes.high[0], 0xFF);
    EXPECT_EQ(lanes.low[1], 0x34);
    EXPECT_EQ(lanes.high[1], 0x12);
    EXPECT_EQ(lanes.high[4], 0);
    lanes.removeFirst(1);
    lanes.truncate(2);
    EXPECT_EQ(lanes.low.length(), lanes.high.length());
    EXPECT_EQ(lanes.samples(), 2u);

    StereoLanes tx;
    tx.appendSilence(5);
    tx.removeFirst(2);
    EXPECT_EQ(tx.frames(), 3u);
    EXPECT_EQ(tx.right.low.length(), 3u);
}

}  // namespace
}  // namespace orv
