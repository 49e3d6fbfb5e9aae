#include "dsp/sample_fifo.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace orv {
namespace {

std::vector<std::int16_t> contents(const SampleFifo<std::int16_t>& q) { return {q.view().begin(), q.view().end()}; }

TEST(SampleFifo, FirstInFirstOutWithTruncate) {
    SampleFifo<std::int16_t> q;
    const std::vector<std::int16_t> abc{1, -2, 3};
    q.append(abc);
    q.append(4);
    q.removeFirst(2);
    EXPECT_EQ(contents(q), (std::vector<std::int16_t>{3, 4}));
    q.appendRepeated(0, 2);
    q.truncate(3);
    EXPECT_EQ(contents(q), (std::vector<std::int16_t>{3, 4, 0}));
    q.truncate(10);
    EXPECT_EQ(q.size(), 3u);
    EXPECT_EQ(q.first(2).size(), 2u);
    EXPECT_EQ(q.first(99).size(), 3u);
}

TEST(SampleFifo, RemovingMoreThanItHoldsEmptiesIt) {
    SampleFifo<std::int16_t> q;
    q.appendRepeated(7, 10);
    q.removeFirst(11);
    EXPECT_TRUE(q.empty());
    q.removeFirst(1);
    EXPECT_TRUE(q.empty());
    q.append(5);
    EXPECT_EQ(contents(q), std::vector<std::int16_t>{5});
}

TEST(SampleFifo, LongRunOfAppendsAndRemovalsKeepsOrder) {
    SampleFifo<std::int16_t> q;
    std::int16_t next = 0;
    std::int16_t expected = 0;
    for (int round = 0; round < 1000; ++round) {
        for (int i = 0; i < 37; ++i) q.append(next++);
        for (int i = 0; i < 29 && !q.empty(); ++i) {
            ASSERT_EQ(q[0], expected++);
            q.removeFirst(1);
        }
    }
    EXPECT_EQ(q.size(), 1000u * (37 - 29));
}

}  // namespace
}  // namespace orv
