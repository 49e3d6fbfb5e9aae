#include "dsp/rate_step.hpp"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(RateStep, ThinsAStreamToTheTargetRate) {
    struct Case {
        int rate, target;
    };
    for (const auto& c : {Case{44100, 11025}, Case{48000, 12000}, Case{96000, 24000}, Case{44100, 44100},
                          Case{48000, 11025}}) {
        RateStep step;
        int due = 0;
        for (int i = 0; i < c.rate; ++i) due += step.step(c.rate, c.target) ? 1 : 0;
        EXPECT_EQ(due, c.target) << c.rate << " to " << c.target;
    }
}

TEST(RateStep, TwoInstancesCountIndependently) {
    RateStep a;
    RateStep b;
    EXPECT_FALSE(a.step(4, 1));
    EXPECT_FALSE(a.step(4, 1));
    EXPECT_FALSE(a.step(4, 1));
    EXPECT_FALSE(b.step(4, 1));
    EXPECT_TRUE(a.step(4, 1));
    EXPECT_FALSE(b.step(4, 1));
}

}  // namespace
}  // namespace orv
