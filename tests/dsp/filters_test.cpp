#include "dsp/filters.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace orv {
namespace {

// Gain in dB of the filter for a complex tone at `hz` (negative: below the carrier).
double bandGainDb(BandFilter& f, int fes, double hz, Sideband sideband, bool realOnly = false) {
    const int n = f.blockLength();
    std::vector<std::int32_t> i(static_cast<std::size_t>(n));
    std::vector<std::int32_t> q(static_cast<std::size_t>(n));
    std::vector<std::int32_t> out(static_cast<std::size_t>(n));
    f.clearTail();
    double power = 0;
    long t = 0;
    for (int block = 0; block < 6; ++block) {
        for (int k = 0; k < n; ++k, ++t) {
            const double a = 2 * M_PI * hz * static_cast<double>(t) / fes;
            i[static_cast<std::size_t>(k)] = static_cast<std::int32_t>(std::lround(10000 * std::cos(a)));
            q[static_cast<std::size_t>(k)] = realOnly ? 0 : static_cast<std::int32_t>(std::lround(10000 * std::sin(a)));
        }
        f.process(i.data(), q.data(), sideband, out.data());
        if (block < 2) continue;  // let the overlap settle
        for (const auto v : out) power += static_cast<double>(v) * v;
    }
    const double rms = std::sqrt(power / (4.0 * n));
    // Relative to a real cosine of amplitude A (RMS A / √2). The filter passes a real
    // cosine at unity; a complex tone in the kept sideband comes out as a cosine of
    // amplitude 2A, the mirrored half adding its conjugate: +6.02 dB.
    return 20 * std::log10(rms / (10000 / std::sqrt(2.0)));
}

TEST(BandFilter, UpperSidebandPassesTheBandAndRejectsTheRest) {
    BandFilter f;
    f.design(0, 3300, 12000, 1024);
    EXPECT_NEAR(bandGainDb(f, 12000, 1000, Sideband::Upper), 6.02, 0.5);
    EXPECT_NEAR(bandGainDb(f, 12000, 3000, Sideband::Upper), 6.02, 0.5);
    EXPECT_LT(bandGainDb(f, 12000, -1000, Sideband::Upper), -40.0);  // the other sideband
    EXPECT_LT(bandGainDb(f, 12000, 4500, Sideband::Upper), -40.0);   // above the band
}

TEST(BandFilter, LowerSidebandMirrorsIt) {
    BandFilter f;
    f.design(0, 2700, 12000, 1024);
    EXPECT_NEAR(bandGainDb(f, 12000, -1000, Sideband::Lower), 6.02, 0.5);
    EXPECT_LT(bandGainDb(f, 12000, 1000, Sideband::Lower), -40.0);
    EXPECT_LT(bandGainDb(f, 12000, -4000, Sideband::Lower), -40.0);
}

TEST(BandFilter, NarrowCwBandAndTheMaxBandCutAtHalfTheRate) {
    BandFilter cw;
    cw.design(550, 850, 12000, 1024);
    EXPECT_NEAR(bandGainDb(cw, 12000, 700, Sideband::Upper), 6.02, 1.0);
    EXPECT_LT(bandGainDb(cw, 12000, 1200, Sideband::Upper), -40.0);
    EXPECT_LT(bandGainDb(cw, 12000, 200, Sideband::Upper), -40.0);

    BandFilter wide;
    wide.design(0, 12000, 11025, 1024);  // cut at 5512 Hz
    BandFilter atHalf;
    atHalf.design(0, 11025 / 2, 11025, 1024);
    EXPECT_EQ(wide.taps(), atHalf.taps());
}

TEST(BandFilter, ARealInputWithTheUpperSidebandIsJustBandPassed) {
    BandFilter f;
    f.design(0, 3300, 12000, 1024);
    // A real cosine carries both ±f; keeping the upper half and mirroring gives it back.
    EXPECT_NEAR(bandGainDb(f, 12000, 1500, Sideband::Upper, true), 0.0, 0.5);
    EXPECT_LT(bandGainDb(f, 12000, 5000, Sideband::Upper, true), -40.0);
}

TEST(BandFilter, OverlapAddEqualsDirectConvolutionOnSeededNoise) {
    constexpr int n = 256;
    BandFilter f;
    f.design(300, 2500, 12000, n);
    std::vector<std::int32_t> taps = f.taps();
    std::mt19937 rng(3);
    std::uniform_int_distribution<std::int32_t> sample(-10000, 10000);
    std::vector<std::int32_t> x(static_cast<std::size_t>(4 * n));
    for (auto& v : x) v = sample(rng);
    std::vector<std::int32_t> zeros(static_cast<std::size_t>(n), 0);
    std::vector<std::int32_t> out(static_cast<std::size_t>(4 * n));
    for (int b = 0; b < 4; ++b)
        f.process(x.data() + b * n, zeros.data(), Sideband::None, out.data() + b * n);
    for (int k = 0; k < 4 * n; ++k) {
        double y = 0;
        for (int t = 0; t < n / 2; ++t)
            if (k - t >= 0) y += static_cast<double>(taps[static_cast<std::size_t>(t)]) * x[static_cast<std::size_t>(k - t)];
        ASSERT_NEAR(out[static_cast<std::size_t>(k)], y / 1e6, 25) << k;
    }
}

// The anti-alias filter the way it is written down: a delay line shifted per sample,
// the newest at 0, summed centre outwards in single precision.
std::vector<std::int32_t> referenceAntiAlias(const std::vector<std::int32_t>& c, int taps,
                                             const std::vector<std::int32_t>& input) {
    std::vector<std::int32_t> d(static_cast<std::size_t>(taps + 1), 0);
    std::vector<std::int32_t> out;
    for (const std::int32_t x : input) {
        for (int k = taps - 1; k > 0; --k) d[static_cast<std::size_t>(k)] = d[static_cast<std::size_t>(k - 1)];
        d[0] = x;
        float s = 0;
        for (int i = 0; i < taps / 2; ++i)
            s += static_cast<float>(c[static_cast<std::size_t>(i)]) *
                 static_cast<float>(d[static_cast<std::size_t>(taps / 2 - 1 - i)] + d[static_cast<std::size_t>(taps / 2 + i)]);
        out.push_back(static_cast<std::int32_t>(std::nearbyint(s / 1000000.0f)));
    }
    return out;
}

TEST(AntiAliasFilter, TapCountsFollowTheRate) {
    struct Case {
        int fee, taps;
    };
    for (const auto c : {Case{44100, 140}, Case{48000, 152}, Case{96000, 40}, Case{192000, 80}}) {
        AntiAliasFilter f;
        f.design(c.fee);
        EXPECT_EQ(f.taps(), c.taps) << c.fee;
    }
}

TEST(AntiAliasFilter, BlockRunsEqualTheSampleBySampleDefinition) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<std::int32_t> sample(-32767, 32767);
    for (const int fee : {44100, 48000, 96000, 192000}) {
        AntiAliasFilter f;
        f.design(fee);
        std::vector<std::int32_t> input(3000);
        for (auto& v : input) v = sample(rng);
        const auto expected = referenceAntiAlias(f.coefficients(), f.taps(), input);
        std::vector<std::int32_t> got = input;
        // Uneven runs, and a second channel in between that must not disturb the first.
        int at = 0;
        for (const int run : {1, 7, 1024, 500, 1468}) {
            f.run(0, got.data() + at, run);
            std::int32_t other = 5;
            f.run(1, &other, 1);
            at += run;
        }
        ASSERT_EQ(at, 3000);
        EXPECT_EQ(got, expected) << fee;
    }
}

TEST(AntiAliasFilter, PassesTheAudioBandAndStopsWhatWouldAlias) {
    for (const int fee : {44100, 48000, 96000, 192000}) {
        AntiAliasFilter f;
        f.design(fee);
        const int fes = fee >= 96000 ? 24000 : fee / 4;
        const auto gainDb = [&](double hz) {
            AntiAliasFilter g;
            g.design(fee);
            std::vector<std::int32_t> x(8192);
            for (std::size_t t = 0; t < x.size(); ++t)
                x[t] = static_cast<std::int32_t>(std::lround(10000 * std::sin(2 * M_PI * hz * static_cast<double>(t) / fee)));
            g.run(0, x.data(), static_cast<int>(x.size()));
            double p = 0;
            for (std::size_t t = 1000; t < x.size(); ++t) p += static_cast<double>(x[t]) * x[t];
            return 20 * std::log10(std::sqrt(p / static_cast<double>(x.size() - 1000)) / (10000 / std::sqrt(2.0)));
        };
        EXPECT_NEAR(gainDb(1000), 0.0, 0.5) << fee;
        // What lands above the output's Nyquist frequency is well down.
        EXPECT_LT(gainDb(fes - 500), -40.0) << fee;
    }
}

}  // namespace
}  // namespace orv
