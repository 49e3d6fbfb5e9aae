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

namespace orv {
namespace {

// The FM demodulator the way it is written down, one sample at a time with shift
// registers, to hold the block implementation to the same bits.
class ReferenceFm {
public:
    explicit ReferenceFm(int fee) : fee_(fee) {
        const float pi = 3.14159265358979f;
        const auto design = [&](float low, float high) {
            std::vector<std::int32_t> c(40);
            for (int i = 0; i < 40; ++i) {
                const float t = static_cast<float>(i) + 0.5f;
                const float w = 0.54f + 0.46f * std::cos(2 * pi * t / 80.0f);
                float band = std::sin(2 * pi * t * high / static_cast<float>(fee));
                if (low > 0) band -= std::sin(2 * pi * t * low / static_cast<float>(fee));
                c[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(std::nearbyint(band / (pi * t) * w * 100000.0f));
            }
            return c;
        };
        bp_ = design(2500, 11500);
        lp_ = design(0, 4500);
        for (int c = 1; c <= 64; ++c) {
            const float k = c % 2 != 0 ? -2.0f / (pi * static_cast<float>(c)) : 0.0f;
            h_[static_cast<std::size_t>(c)] =
                static_cast<std::int32_t>(std::nearbyint(k * (0.8f + 0.2f * std::cos(2 * pi * static_cast<float>(c) / 128.0f)) * 100000.0f));
        }
        hp_.period = 1.0f / static_cast<float>(fee);
    }

    std::int32_t operator()(std::int32_t i, std::int32_t q) {
        const std::int32_t i1 = fir(bpI_, bp_, i);
        const std::int32_t q1 = fir(bpQ_, bp_, q);
        push(direct_, i1);
        push(hil_, q1);
        float s = 0;
        for (std::size_t c = 1; c <= 64; ++c)
            s += static_cast<float>(h_[c]) * static_cast<float>(hil_[64 - c] - hil_[64 + c]);
        const std::int32_t x = (direct_[64] - static_cast<std::int32_t>(std::nearbyint(s / 100000.0f))) / 2;
        std::int32_t p = fir(lp0_, lp_, x * x);
        if (p < 1) p = 1;
        const std::int32_t c = fir(lp1_, lp_, prev_ * x);
        prev_ = x;
        const float ratio = std::clamp(static_cast<float>(c) / static_cast<float>(p), 0.0f, 1.0f);
        const float r = std::acos(ratio) / (2 * 3.14159265358979f * 7000.0f / static_cast<float>(fee_));
        const float deviation = std::nearbyint((r - 1.0f) * 7000.0f);
        return static_cast<std::int32_t>(std::clamp(std::nearbyint(6.0f * hp_.step(deviation)), -32768.0f, 32767.0f));
    }

private:
    static void push(std::vector<std::int32_t>& d, std::int32_t x) {
        for (std::size_t k = d.size() - 1; k > 0; --k) d[k] = d[k - 1];
        d[0] = x;
    }
    static std::int32_t fir(std::vector<std::int32_t>& d, const std::vector<std::int32_t>& c, std::int32_t x) {
        push(d, x);
        float s = 0;
        for (std::size_t k = 0; k < 40; ++k) s += static_cast<float>(c[k]) * static_cast<float>(d[39 - k] + d[40 + k]);
        return static_cast<std::int32_t>(std::nearbyint(s / 100000.0f));
    }

    int fee_;
    std::vector<std::int32_t> bp_, lp_;
    std::array<std::int32_t, 65> h_{};
    std::vector<std::int32_t> bpI_ = std::vector<std::int32_t>(80), bpQ_ = std::vector<std::int32_t>(80);
    std::vector<std::int32_t> lp0_ = std::vector<std::int32_t>(80), lp1_ = std::vector<std::int32_t>(80);
    std::vector<std::int32_t> direct_ = std::vector<std::int32_t>(129), hil_ = std::vector<std::int32_t>(129);
    std::int32_t prev_ = 0;
    HighPass hp_;
};

TEST(FmDemodulator, RunsOfSamplesGiveTheBitsOfTheSampleBySampleDefinition) {
    constexpr int fee = 48000;
    ReferenceFm reference(fee);
    Demodulators d;
    d.setupIfFilters(4, fee);
    std::vector<std::int32_t> i(3000);
    std::vector<std::int32_t> q(3000);
    for (std::size_t t = 0; t < i.size(); ++t) {
        const double phase = 2 * M_PI * 7000.0 * static_cast<double>(t) / fee + 2.5 * std::sin(2 * M_PI * 900.0 * static_cast<double>(t) / fee);
        i[t] = static_cast<std::int32_t>(std::lround(9000 * std::cos(phase) + static_cast<double>(t % 17) * 30));
        q[t] = static_cast<std::int32_t>(std::lround(9000 * std::sin(phase)));
    }
    std::vector<std::int32_t> expected;
    for (std::size_t t = 0; t < i.size(); ++t) expected.push_back(reference(i[t], q[t]));
    std::size_t at = 0;
    for (const int run : {1, 1023, 7, 1024, 945}) {
        d.demodulateFm(i.data() + at, q.data() + at, run, fee);
        at += static_cast<std::size_t>(run);
    }
    ASSERT_EQ(at, i.size());
    EXPECT_EQ(i, expected);
}

}  // namespace
}  // namespace orv
