#include "monitors/monitors.hpp"

#include <gtest/gtest.h>

namespace orv {
namespace {

struct ClampCase {
    bool feRegulated;
    int low, high;
};

TEST(OutputRateRegulator, TheRateStaysWithinItsClampAt44100) {
    for (const auto& c : {ClampCase{false, 11024, 11026}, ClampCase{true, 11014, 11036}}) {
        for (const std::int64_t fill : {0, 50, 100, 170, 300, 1000}) {
            OutputRateRegulator regulator;
            OutputRateRegulator::Result r;
            // Four periods at that fill: the mean correction is the full one.
            for (int period = 0; period < 4; ++period)
                r = regulator.regulate(fill * 551 / 100 * 10, 10, 1102, 44100, 11025, c.feRegulated, false);
            EXPECT_GE(r.adaptedRate, c.low) << fill;
            EXPECT_LE(r.adaptedRate, c.high) << fill;
        }
    }
}

TEST(OutputRateRegulator, GrossExcursionsAreCorrectedByTwoThirdsOfABuffer) {
    struct Case {
        std::int32_t fillPercent;
        std::int32_t correction;
    };
    // One buffer is 551 samples (1102 bytes); refills leave `fill` % of it, ten times.
    for (const auto& c : {Case{220, 0}, Case{221, 1102 / 3}, Case{100, -(1102 / 3)}, Case{120, 0}, Case{119, -(1102 / 3)}}) {
        OutputRateRegulator regulator;
        const std::int64_t left = static_cast<std::int64_t>(c.fillPercent) * 551 / 100;
        // The sum is chosen so the average is exactly the percentage.
        const std::int64_t sum = (c.fillPercent * 551 * 10 + 99) / 100;
        const auto r = regulator.regulate(sum, 10, 1102, 44100, 11025, true, false);
        EXPECT_EQ(r.fillPercent, c.fillPercent) << left;
        EXPECT_EQ(r.correctionSamples, c.correction) << c.fillPercent;
    }
}

TEST(OutputRateRegulator, AFillOf100PercentGivesACorrectionOf14) {
    OutputRateRegulator regulator;
    const auto r = regulator.regulate(5510, 10, 1102, 44100, 11025, true, false);
    EXPECT_EQ(r.fillPercent, 100);
    // r = −(−70 / 5) = 14, the newest of four: the mean 3.5 rounds to the even 4.
    EXPECT_EQ(r.adaptedRate, 11025 + 4);
    // The receive I/Q window holds the nominal rate.
    EXPECT_EQ(regulator.regulate(5510, 10, 1102, 44100, 11025, true, true).adaptedRate, 11025);
}

TEST(CaptureWatchdog, SeesCaptureGoingOnOrStalled) {
    CaptureWatchdog watchdog;
    EXPECT_TRUE(watchdog.capturing(1));
    EXPECT_FALSE(watchdog.capturing(1));
    EXPECT_TRUE(watchdog.capturing(5));
}

TEST(LoadMeter, ShowsTheMeanOfThisReadingAndThePrevious) {
    LoadMeter meter;
    EXPECT_EQ(meter.show(40), 20);
    EXPECT_EQ(meter.show(60), 50);
}

}  // namespace
}  // namespace orv
