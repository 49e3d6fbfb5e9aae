#include "dsp/demodulators.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "dsp/noise_reducer.hpp"

namespace orv {
namespace {

TEST(Angle, QuadrantsAxesAndTheTable) {
    EXPECT_EQ(angle(1, 1), 8192);      // 45°
    EXPECT_EQ(angle(-1, 0), -32766);   // π
    EXPECT_EQ(angle(0, -5), -16383);   // −π/2
    EXPECT_EQ(angle(0, 5), 16383);
    EXPECT_EQ(angle(0, 0), 0);
    EXPECT_EQ(angle(7, 0), 0);
    EXPECT_EQ(angle(1, -1), -8192);
    EXPECT_EQ(angle(-1, 1), 32766 - 8192);
    EXPECT_EQ(angle(-1, -1), 8192 - 32766);
    for (const double deg : {10.0, 30.0, 60.0, 80.0, 135.0, -100.0}) {
        const double rad = deg * M_PI / 180;
        const auto a = static_cast<std::int32_t>(std::lround(10000 * std::cos(rad)));
        const auto b = static_cast<std::int32_t>(std::lround(10000 * std::sin(rad)));
        EXPECT_NEAR(angle(a, b), deg * 32766 / 180, 40) << deg;
    }
}

TEST(BroadcastFm, AQuarterTurnPerSampleReadsAsHalfOfPi) {
    Demodulators d;
    const std::int32_t i[] = {1000, 0, -1000, 0, 1000};
    const std::int32_t q[] = {0, 1000, 0, -1000, 0};
    d.discriminateBroadcastFm(i[0], q[0]);
    for (int k = 1; k < 5; ++k) EXPECT_EQ(d.discriminateBroadcastFm(i[k], q[k]), 16383);
}

// A carrier at `hz` (relative to the rotated band) of amplitude `a`, one sample.
std::pair<std::int32_t, std::int32_t> carrier(double hz, double a, long t, int fee, double phase = 0) {
    const double p = 2 * M_PI * hz * static_cast<double>(t) / fee + phase;
    return {static_cast<std::int32_t>(std::lround(a * std::cos(p))), static_cast<std::int32_t>(std::lround(a * std::sin(p)))};
}

TEST(FmDemodulator, ACarrierOnTheIfReadsZeroAndAStepOf1000HzJumpsBy6000ThenDecays) {
    constexpr int fee = 48000;
    Demodulators d;
    d.setupIfFilters(4, fee);
    long t = 0;
    std::int32_t out = 0;
    for (; t < fee / 2; ++t) {
        const auto [i, q] = carrier(7000, 10000, t, fee);
        out = d.demodulateFm(i, q, fee);
    }
    EXPECT_LE(std::abs(out), 30);
    // The phase runs on continuously while the frequency steps up by 1000 Hz.
    double phase = 2 * M_PI * 7000.0 * static_cast<double>(t) / fee;
    std::int32_t peak = 0;
    std::vector<std::int32_t> after;
    for (long k = 0; k < fee / 10; ++k) {
        phase += 2 * M_PI * 8000.0 / fee;
        out = d.demodulateFm(static_cast<std::int32_t>(std::lround(10000 * std::cos(phase))),
                             static_cast<std::int32_t>(std::lround(10000 * std::sin(phase))), fee);
        peak = std::max(peak, out);
        after.push_back(out);
    }
    // Once the 80-tap filters have passed the step (about 150 samples, with a one-sample
    // spike where the phase jumps), the output sits near 6 × 1000 and the 100 Hz
    // high-pass takes it back towards 0.
    const std::int32_t plateau = *std::max_element(after.begin() + 148, after.begin() + 170);
    EXPECT_NEAR(plateau, 6000, 1000);
    EXPECT_LT(peak, 12000);
    EXPECT_LT(after[240], plateau / 2);
    EXPECT_LT(std::abs(after.back()), plateau / 10);
}

TEST(AmDemodulator, AConstantCarrierLeavesNothingAfterTheHighPass) {
    constexpr int fee = 44100;
    Demodulators d;
    d.setupIfFilters(3, fee);
    std::int32_t out = 0;
    std::int32_t early = 0;
    for (long t = 0; t < fee; ++t) {
        const auto [i, q] = carrier(7000, 10000, t, fee);
        out = d.demodulateAm(i, q, fee / 100);
        if (t == 200) early = out;
    }
    EXPECT_GT(std::abs(early), 1000);  // the envelope rose …
    EXPECT_LE(std::abs(out), 20);      // … and the high-pass took its constant part away
}

TEST(DeEmphasis, PassesLowFrequenciesAndTakesDownHighOnes) {
    const auto gain = [](double hz) {
        Demodulators d;
        double p = 0;
        for (long t = 0; t < 192000 / 4; ++t) {
            const auto y = d.deEmphasize(static_cast<std::int32_t>(std::lround(10000 * std::sin(2 * M_PI * hz * t / 192000))));
            if (t > 192000 / 8) p += static_cast<double>(y) * y;
        }
        return std::sqrt(p / (192000 / 8 - 1)) / (10000 / std::sqrt(2.0));
    };
    EXPECT_NEAR(gain(100), 1.0, 0.02);
    EXPECT_NEAR(20 * std::log10(gain(2120)), -3.0, 0.3);
    EXPECT_LT(20 * std::log10(gain(15000)), -15.0);
}

TEST(NoiseReducer, SizesFollowTheOutputRate) {
    NoiseReducer nr;
    struct Case {
        int fes, taps, window;
    };
    for (const auto c : {Case{11025, 27, 55}, Case{12000, 30, 60}, Case{24000, 60, 120}, Case{192000, 480, 960}}) {
        nr.reset(c.fes);
        EXPECT_EQ(nr.taps(), c.taps);
        EXPECT_EQ(nr.window(), c.window);
    }
}

TEST(NoiseReducer, SilenceStaysSilentWithPowerOne) {
    NoiseReducer nr;
    nr.reset(11025);
    for (int k = 0; k < 1000; ++k) ASSERT_EQ(nr.reduce(0), 0);
    EXPECT_EQ(nr.power(), 1);
}

TEST(NoiseReducer, KeepsAToneAndTakesDownNoise) {
    const auto run = [](bool tone) {
        NoiseReducer nr;
        nr.setStep(1);
        nr.reset(12000);
        unsigned seed = 12345;
        double in = 0;
        double out = 0;
        for (long t = 0; t < 24000; ++t) {
            seed = seed * 1103515245 + 12345;
            const double noise = (static_cast<double>((seed >> 8) % 20001) - 10000);
            const double x = tone ? 10000 * std::sin(2 * M_PI * 800 * t / 12000.0) : noise;
            const std::int32_t y = nr.reduce(static_cast<std::int32_t>(x));
            if (t > 12000) {
                in += x * x;
                out += static_cast<double>(y) * y;
            }
        }
        return 10 * std::log10(out / in);
    };
    const double toneGainDb = run(true);
    const double noiseGainDb = run(false);
    EXPECT_GT(toneGainDb - noiseGainDb, 10.0) << toneGainDb << " vs " << noiseGainDb;
}

}  // namespace
}  // namespace orv
