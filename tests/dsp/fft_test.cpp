#include "dsp/fft.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace orv {
namespace {

TEST(IntegerFft, ConstantInputGoesToBinZeroAndComesBack) {
    IntegerFft fft;
    std::vector<std::int32_t> x(1024, 1000);
    fft.forward(x.data(), nullptr, 1024);
    EXPECT_EQ(fft.re()[0], 1024000);
    for (int k = 1; k < 1024; ++k) {
        ASSERT_EQ(fft.re()[k], 0) << k;
        ASSERT_EQ(fft.im()[k], 0) << k;
    }
    fft.inverse();
    for (int k = 0; k < 1024; ++k) ASSERT_EQ(fft.re()[k], 1000) << k;
}

TEST(IntegerFft, InverseDividesByTheLengthToAMultipleOfTen) {
    IntegerFft fft;
    std::vector<std::int32_t> zero(1024, 0);
    fft.forward(zero.data(), nullptr, 1024);
    // A spectrum whose inverse real part is 1234567 × 1024 everywhere at n = 0 …
    fft.re()[0] = 1234567;
    fft.inverse();
    EXPECT_EQ(fft.re()[0], 1234567 / 10240 * 10);  // 1200
    EXPECT_EQ(fft.re()[0], 1200);
}

TEST(IntegerFft, MatchesANaiveTransformOnSeededNoise) {
    std::mt19937 rng(42);
    std::uniform_int_distribution<std::int32_t> sample(-32767, 32767);
    for (const int n : {2, 8, 64, 1024, 4096}) {
        std::vector<std::int32_t> re(static_cast<std::size_t>(n));
        std::vector<std::int32_t> im(static_cast<std::size_t>(n));
        for (auto& v : re) v = sample(rng);
        for (auto& v : im) v = sample(rng);
        IntegerFft fft;
        fft.forward(re.data(), im.data(), n);
        double worst = 0;
        for (int k = 0; k < n; ++k) {
            double xr = 0;
            double xi = 0;
            for (int t = 0; t < n; ++t) {
                const double a = -2 * M_PI * k * t / n;
                xr += re[static_cast<std::size_t>(t)] * std::cos(a) - im[static_cast<std::size_t>(t)] * std::sin(a);
                xi += re[static_cast<std::size_t>(t)] * std::sin(a) + im[static_cast<std::size_t>(t)] * std::cos(a);
            }
            worst = std::max({worst, std::abs(xr - fft.re()[k]), std::abs(xi - fft.im()[k])});
        }
        // Twiddles are truncated to whole 0.01° steps (up to 1.7e-4 rad off) and the
        // butterflies run in single precision: well under 0.2 % of full scale × √n, where
        // a wrong butterfly or permutation would be off by the size of the output itself.
        EXPECT_LT(worst, 32767.0 * std::sqrt(n) * 2e-3) << n;
    }
}

TEST(IntegerFft, InverseOfForwardGivesTheInputBackToTheNearestTen) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::int32_t> sample(-20000, 20000);
    std::vector<std::int32_t> x(1024);
    for (auto& v : x) v = sample(rng);
    IntegerFft fft;
    fft.forward(x.data(), nullptr, 1024);
    fft.inverse();
    for (int k = 0; k < 1024; ++k) ASSERT_NEAR(fft.re()[k], x[static_cast<std::size_t>(k)], 25) << k;
}

TEST(IntegerFft, ComplexToneAtBinThreeAndItsMagnitude) {
    std::vector<std::int32_t> re(1024);
    std::vector<std::int32_t> im(1024);
    for (int t = 0; t < 1024; ++t) {
        re[static_cast<std::size_t>(t)] = static_cast<std::int32_t>(std::lround(100 * std::cos(2 * M_PI * 3 * t / 1024)));
        im[static_cast<std::size_t>(t)] = static_cast<std::int32_t>(std::lround(100 * std::sin(2 * M_PI * 3 * t / 1024)));
    }
    IntegerFft fft;
    fft.forward(re.data(), im.data(), 1024);
    EXPECT_NEAR(fft.re()[3], 102400, 150);
    SpectrumAverager spectrum;
    spectrum.init(1024, 10);
    spectrum.magnitudes(fft.re(), fft.im(), false);
    EXPECT_NEAR(spectrum.bin(3), 70711, 150);
    spectrum.magnitudes(fft.re(), fft.im(), true);
    EXPECT_NEAR(spectrum.bin(3), 7071, 15);
    EXPECT_LT(spectrum.bin(-3), 50);
}

TEST(SpectrumAverager, AveragesTheLastTenFrames) {
    std::vector<std::int32_t> zero(64, 0);
    std::vector<std::int32_t> dc(64, 0);
    dc[0] = 64000;  // magnitude at bin 0 without AGC: √(64000² × 500000) / 64 ≈ 707107
    SpectrumAverager s;
    s.init(64, 10);
    for (int f = 0; f < 9; ++f) {
        s.magnitudes(zero.data(), zero.data(), false);
        s.average();
    }
    s.magnitudes(dc.data(), zero.data(), false);
    const std::int32_t one = s.bin(0);
    s.average();
    EXPECT_EQ(s.bin(0), one / 10);
    for (int f = 0; f < 10; ++f) {
        s.magnitudes(dc.data(), zero.data(), false);
        s.average();
    }
    EXPECT_EQ(s.bin(0), one);
}

}  // namespace
}  // namespace orv
