#include "dsp/clock_fit.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace orv {
namespace {

// A card at `rate` frames a second completing `buffer`-frame buffers, each seen at the
// next poll of `pollMs`.
void run(ClockFit& fit, double rate, int buffer, int pollMs, double seconds, double startSeconds = 0) {
    const auto buffers = static_cast<int>(seconds * rate / buffer);
    for (int k = 1; k <= buffers; ++k) {
        const double done = startSeconds + k * buffer / rate;
        const double seen = std::ceil(done * 1000.0 / pollMs) * pollMs / 1000.0;
        fit.add(seen, buffer);
    }
}

TEST(ClockFit, FindsTheRateOfACardSeenAtCoarsePolls) {
    // 200 ppm fast and slow at 48000 and 11025, 2400- and 512-frame buffers, polled every
    // 10 ms for ten minutes: the fit lands within 2 ppm. (A buffer period close to a
    // multiple of the poll makes the lag a slow saw-tooth, the worst case: about 1.3 ppm.)
    for (const double ppm : {200.0, -200.0, 0.0, 2000.0}) {
        for (const auto& [nominal, buffer] : {std::pair{48000.0, 2400}, std::pair{11025.0, 512}}) {
            ClockFit fit;
            const double rate = nominal * (1 + ppm * 1e-6);
            run(fit, rate, buffer, 10, 600);
            ASSERT_TRUE(fit.rate());
            EXPECT_NEAR((*fit.rate() / nominal - 1) * 1e6, ppm, 2.0) << nominal << " at " << ppm;
        }
    }
}

TEST(ClockFit, SaysNothingForTheFirstMinuteAndForgetsWhatIsOlderThanTenMinutes) {
    ClockFit fit;
    run(fit, 48000, 2400, 10, 50);
    EXPECT_FALSE(fit.rate());
    fit.clear();
    // Twenty minutes at +1000 ppm, then ten at −1000: only the last ten count.
    run(fit, 48048, 2400, 10, 1200);
    run(fit, 47952, 2400, 10, 600, 1200);
    ASSERT_TRUE(fit.rate());
    EXPECT_NEAR(*fit.rate(), 47952, 0.1);
}

}  // namespace
}  // namespace orv
