#include "transmit/ptt.hpp"

#include <gtest/gtest.h>

namespace orv {
namespace {

struct ReleaseCase {
    int latency;
    std::int64_t delayMs;
};

TEST(PttRelease, FallsDueLatencyTimesAHundredPlusFiftyMillisecondsAfterTheRequest) {
    for (const auto& c : {ReleaseCase{2, 250}, ReleaseCase{4, 450}, ReleaseCase{20, 2050}}) {
        PttState ptt;
        EXPECT_FALSE(ptt.releaseDue(1000 + c.delayMs, c.latency));  // nothing was requested
        ptt.releaseWaiting = true;
        ptt.releaseTimeMs = 1000;
        EXPECT_FALSE(ptt.releaseDue(1000 + c.delayMs - 1, c.latency)) << c.latency;
        EXPECT_TRUE(ptt.releaseDue(1000 + c.delayMs, c.latency)) << c.latency;
    }
}

}  // namespace
}  // namespace orv
