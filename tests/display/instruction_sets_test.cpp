// The kernels chosen at run time give the same bits on every instruction set: each level
// the processor has is forced through the dispatcher in turn and the receive chain and
// the display are run on the same seeded signals; the speaker samples, the waterfall rows
// and the levels must equal those of the baseline build.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <array>
#include <cmath>
#include <limits>
#include <cstdint>
#include <random>
#include <vector>

#include "display/display.hpp"
#include "dsp/fft.hpp"
#include "dsp/filters.hpp"
#include "dsp/oscillator.hpp"
#include "dsp/rates.hpp"
#include "dsp/receive_chain.hpp"
#include "dsp/simd.hpp"

namespace orv {
namespace {

using simd::Level;

constexpr Level kLevels[] = {Level::Baseline, Level::Avx2, Level::Avx512};

class InstructionSets : public ::testing::Test {
protected:
    void TearDown() override { simd::selectLevel(simd::bestLevel()); }

    // Runs `f` under every level the processor has and expects each result to equal the
    // baseline's.
    template <typename F>
    void expectSameOnEveryLevel(F f) {
        ASSERT_TRUE(simd::selectLevel(Level::Baseline));
        const auto reference = f();
        int checked = 0;
        for (const Level level : kLevels) {
            if (level == Level::Baseline || !simd::selectLevel(level)) continue;
            ++checked;
            EXPECT_TRUE(f() == reference) << simd::levelName(level);
        }
        if (checked == 0) GTEST_LOG_(INFO) << "only the baseline kernels run on this processor";
    }
};

TEST_F(InstructionSets, TheDispatcherRunsTheLevelItWasGivenAndRefusesAMissingOne) {
    EXPECT_TRUE(simd::supported(Level::Baseline));
    for (const Level level : kLevels) {
        EXPECT_EQ(simd::selectLevel(level), simd::supported(level)) << simd::levelName(level);
        if (simd::supported(level)) {
            EXPECT_EQ(simd::currentLevel(), level);
        }
    }
    EXPECT_EQ(simd::bestLevel() == Level::Baseline, !simd::supported(Level::Avx2));
}

// Full-scale noise through transforms of every length, forward and back.
TEST_F(InstructionSets, TheTransformAndItsMagnitudesAreTheSame) {
    expectSameOnEveryLevel([] {
        std::mt19937 random(7);
        std::uniform_int_distribution<std::int32_t> sample(-32768, 32767);
        std::vector<std::int32_t> out;
        IntegerFft fft;
        for (int length = 2; length <= IntegerFft::kMaxLength; length *= 2) {
            std::vector<std::int32_t> re(static_cast<std::size_t>(length));
            std::vector<std::int32_t> im(static_cast<std::size_t>(length));
            for (int k = 0; k < length; ++k) {
                re[static_cast<std::size_t>(k)] = sample(random) * (k % 3 == 0 ? 4000 : 1);
                im[static_cast<std::size_t>(k)] = sample(random);
            }
            fft.forward(re.data(), im.data(), length);
            out.insert(out.end(), fft.re(), fft.re() + length);
            out.insert(out.end(), fft.im(), fft.im() + length);
            SpectrumAverager spectrum;
            spectrum.init(length, 3);
            for (const bool agc : {true, false}) {
                spectrum.magnitudes(fft.re(), fft.im(), agc);
                for (int b = -(length / 2 - 1); b < length / 2; ++b) out.push_back(spectrum.bin(b));
            }
            fft.inverse();
            out.insert(out.end(), fft.re(), fft.re() + length);
        }
        return out;
    });
}

// Runs of every length through the anti-alias filter, so every lane count and tail is met.
TEST_F(InstructionSets, TheFiltersAreTheSameForAnyRunLength) {
    expectSameOnEveryLevel([] {
        std::mt19937 random(11);
        std::uniform_int_distribution<std::int32_t> sample(-32768, 32767);
        std::vector<std::int32_t> out;
        for (const int fee : {11025, 44100, 48000, 96000, 192000}) {
            AntiAliasFilter filter;
            filter.design(fee);
            for (int count = 1; count <= 300; count += 7) {
                std::vector<std::int32_t> x(static_cast<std::size_t>(count));
                for (auto& v : x) v = sample(random);
                filter.run(count % 2, x.data(), count);
                out.insert(out.end(), x.begin(), x.end());
            }
        }
        return out;
    });
}

// The element-wise kernels on full-scale inputs, every table angle, every gain the
// control gives and both strides, against the definitions written out here.
TEST_F(InstructionSets, TheElementWiseKernelsAreTheSameAndAsDefined) {
    const auto& tables = oscillatorTables();
    expectSameOnEveryLevel([&] {
        std::mt19937 random(5);
        std::uniform_int_distribution<std::int32_t> sample(-32768, 32767);
        std::vector<std::int64_t> out;
        const int n = OscillatorTables::kTurn + 1;
        std::vector<std::int32_t> i(n), q(n), phase(n);
        for (int k = 0; k < n; ++k) {
            phase[k] = (k * 7919) % n;  // every angle once, out of order
            i[k] = k % 5 == 0 ? (k % 2 ? 32767 : -32768) : sample(random);
            q[k] = sample(random);
        }
        auto ri = i;
        auto rq = q;
        simd::kernels().rotate(ri.data(), rq.data(), phase.data(), n, tables.cosine.data(), tables.sine.data());
        for (int k = 0; k < n; ++k) {
            const std::int32_t c = tables.cosine[static_cast<std::size_t>(phase[k])];
            const std::int32_t s = tables.sine[static_cast<std::size_t>(phase[k])];
            EXPECT_EQ(ri[k], i[k] * c / 40000 - q[k] * s / 40000) << k;
            EXPECT_EQ(rq[k], i[k] * s / 40000 + q[k] * c / 40000) << k;
        }
        out.insert(out.end(), ri.begin(), ri.end());
        out.insert(out.end(), rq.begin(), rq.end());

        std::vector<std::int16_t> frames(2 * 5001);
        std::vector<std::int32_t> gains(5001), gained(5001);
        for (std::size_t k = 0; k < frames.size(); ++k) frames[k] = static_cast<std::int16_t>(sample(random));
        for (int g = 0; g <= 5000; ++g) gains[static_cast<std::size_t>(g)] = g;
        for (const int stride : {1, 2}) {
            simd::kernels().applyGains(frames.data(), stride, gains.data(), 5001, gained.data());
            for (std::size_t k = 0; k < gained.size(); ++k)
                EXPECT_EQ(gained[k], std::clamp(frames[k * stride] * gains[k] / 100, -32767, 32767)) << k;
            out.insert(out.end(), gained.begin(), gained.end());
        }
        // The card's samples as they are, and the peak of every length up to past a few
        // vectors (−32768 where it is the peak at last).
        frames[75] = -32768;
        for (const int stride : {1, 2}) {
            simd::kernels().widen(frames.data(), stride, 5001, gained.data());
            for (std::size_t k = 0; k < gained.size(); ++k) EXPECT_EQ(gained[k], frames[k * stride]) << k;
            out.insert(out.end(), gained.begin(), gained.end());
            std::int32_t peak = 0;
            for (int count = 0; count <= 100; ++count) {
                EXPECT_EQ(simd::kernels().peakMagnitude(frames.data() + 3, stride, count), peak) << stride << " " << count;
                peak = std::max(peak, std::abs(std::int32_t{frames[3 + static_cast<std::size_t>(count * stride)]}));
            }
            out.push_back(peak);
        }

        // The AM mixer on every 0.1° angle, and its envelope with sums of squares that
        // leave 32 bits.
        std::vector<std::int32_t> index(3601), re(3601), im(3601);
        for (int k = 0; k <= 3600; ++k) index[static_cast<std::size_t>(k)] = (k * 1031) % 3601;
        simd::kernels().tableMix(i.data(), index.data(), 3601, tables.ifCosine.data(), 900, 5100.0f, re.data(), im.data());
        for (std::size_t k = 0; k < re.size(); ++k) {
            const std::int32_t c = tables.ifCosine[static_cast<std::size_t>(index[k])];
            const std::int32_t s = tables.ifCosine[static_cast<std::size_t>(index[k] + 900)];
            EXPECT_EQ(re[k], std::nearbyint(static_cast<float>(i[k] * c) / 5100.0f)) << k;
            EXPECT_EQ(im[k], std::nearbyint(static_cast<float>(i[k] * s) / 5100.0f)) << k;
        }
        re[0] = 46341;  // squares just past 2^31
        im[0] = 0;
        re[1] = -65536;  // 2^32: nothing left
        im[1] = 3;
        std::vector<float> envelope(3601);
        simd::kernels().envelope(re.data(), im.data(), 3601, envelope.data());
        for (std::size_t k = 0; k < envelope.size(); ++k) {
            auto m = static_cast<std::int32_t>(
                static_cast<std::uint32_t>(static_cast<std::int64_t>(re[k]) * re[k] + static_cast<std::int64_t>(im[k]) * im[k]));
            if (m < 0) m = 0;
            EXPECT_EQ(envelope[k], 2.0f * std::sqrt(static_cast<float>(m))) << k;
        }
        EXPECT_EQ(envelope[0], 0.0f);
        EXPECT_EQ(envelope[1], 6.0f);
        out.insert(out.end(), re.begin(), re.end());
        out.insert(out.end(), im.begin(), im.end());
        for (const float e : envelope) out.push_back(std::bit_cast<std::int32_t>(e));

        // Angles over the whole 32-bit plane, the axes and the corners, against the
        // quadrant rule with the table read at the rounded ratio.
        std::uniform_int_distribution<std::int32_t> any(std::numeric_limits<std::int32_t>::min(),
                                                       std::numeric_limits<std::int32_t>::max());
        std::vector<std::int32_t> a(20000), b(20000), turned(20000);
        constexpr std::int32_t kEdges[] = {0, 1, -1, 32767, -32768, std::numeric_limits<std::int32_t>::max(),
                                           std::numeric_limits<std::int32_t>::min()};
        for (std::size_t k = 0; k < a.size(); ++k) {
            a[k] = k < 49 ? kEdges[k / 7] : (k % 3 == 0 ? sample(random) : any(random));
            b[k] = k < 49 ? kEdges[k % 7] : (k % 3 == 0 ? sample(random) : any(random));
        }
        a[60] = 0;
        b[61] = 0;
        std::array<std::int16_t, 2001> table{};
        for (std::size_t k = 0; k < table.size(); ++k) table[k] = static_cast<std::int16_t>(k * 7 + 3);
        simd::kernels().angles(a.data(), b.data(), static_cast<int>(a.size()), table.data(), 16383, 32766, turned.data());
        for (std::size_t k = 0; k < a.size(); ++k) {
            const std::int32_t x = a[k], y = b[k];
            std::int32_t expected = 0;
            if (x == 0) {
                expected = y > 0 ? 16383 : (y < 0 ? -16383 : 0);
            } else if (y == 0) {
                expected = x < 0 ? -32766 : 0;
            } else {
                const auto ux = static_cast<std::uint32_t>(x < 0 ? -static_cast<std::int64_t>(x) : x);
                const auto uy = static_cast<std::uint32_t>(y < 0 ? -static_cast<std::int64_t>(y) : y);
                // (−2^31, −2^31) sums to 0 in 32 bits: its true ratio, 0, is taken.
                const auto sum = static_cast<std::int32_t>(ux + uy);
                const float ratio = sum == 0 ? 0.0f
                                             : static_cast<float>(static_cast<std::int32_t>(ux - uy)) /
                                                   static_cast<float>(sum);
                const std::int32_t d = table[static_cast<std::size_t>(std::nearbyint(ratio * 1000.0f) + 1000)];
                expected = x > 0 ? (y > 0 ? d : -d) : (y > 0 ? 32766 - d : d - 32766);
            }
            EXPECT_EQ(turned[k], expected) << x << ", " << y;
        }
        out.insert(out.end(), turned.begin(), turned.end());

        // The decimator's means over runs of 4, 8 and another length, full-scale sums.
        for (const int size : {4, 8, 3}) {
            const int runs = static_cast<int>(i.size()) / size;
            std::vector<std::int32_t> means(static_cast<std::size_t>(runs));
            simd::kernels().runMeans(i.data(), runs, size, static_cast<float>(size), means.data());
            for (int g = 0; g < runs; ++g) {
                float sum = 0.0f;
                for (int j = 0; j < size; ++j) sum += static_cast<float>(i[static_cast<std::size_t>(g * size + j)]);
                EXPECT_EQ(means[static_cast<std::size_t>(g)], std::nearbyint(sum / static_cast<float>(size))) << g;
            }
            out.insert(out.end(), means.begin(), means.end());
        }

        std::int64_t largest = 0;
        std::uint64_t whole = 0;
        std::int64_t most = 0;
        for (const std::int32_t v : gained) {
            whole += static_cast<std::uint64_t>(std::int64_t{v} * v);
            most = std::max(most, std::int64_t{v} * v);
        }
        EXPECT_EQ(simd::kernels().squareSum(gained.data(), 5001, &largest), whole);
        EXPECT_EQ(largest, most);
        out.push_back(largest);

        std::vector<double> squares(5001);
        for (const double gain : {1.0, 100.0, 137.0, 5000.0}) {
            simd::kernels().scaledSquares(gained.data(), 5001, gain * gain, squares.data());
            for (std::size_t k = 0; k < squares.size(); ++k) {
                EXPECT_EQ(squares[k], static_cast<double>(gained[k]) * gained[k] / (gain * gain) * 10000) << k;
                out.push_back(std::bit_cast<std::int64_t>(squares[k]));
            }
        }
        return out;
    });
}

// The narrow-FM deviation's own arc cosine against the library's, over a million ratios
// spread across 0 … 1 and the limits either side (every float of 0 … 1 was compared once
// by hand, on every level).
TEST_F(InstructionSets, TheFmDeviationIsTheLibrarysArcCosineOnEveryLevel) {
    expectSameOnEveryLevel([] {
        constexpr int kSteps = 1 << 20;
        std::vector<std::int32_t> power(kSteps + 3, kSteps), correlation(kSteps + 3);
        for (int k = 0; k <= kSteps; ++k) correlation[static_cast<std::size_t>(k)] = k;
        correlation[kSteps + 1] = -5;                        // limited to 0
        power[kSteps + 2] = 0;                               // taken as 1
        correlation[kSteps + 2] = 3;                         // limited to 1
        std::vector<float> all;
        // As received at 48000; and with a scale that keeps every bit of the arc cosine
        // from 0.5 up (× 2^24, exact), so a difference of one unit cannot hide in the rounding.
        for (const auto& [radiansPerCycle, ifHz] : {std::pair{2 * 3.14159265358979f * 7000.0f / 48000.0f, 7000.0f},
                                                   std::pair{1.0f, 16777216.0f}}) {
            std::vector<float> out(power.size());
            simd::kernels().fmDeviation(power.data(), correlation.data(), static_cast<int>(out.size()),
                                        radiansPerCycle, ifHz, out.data());
            for (std::size_t k = 0; k < out.size(); ++k) {
                const float s = std::clamp(
                    static_cast<float>(correlation[k]) / static_cast<float>(std::max(power[k], 1)), 0.0f, 1.0f);
                const float expected = std::nearbyint((std::acos(s) / radiansPerCycle - 1.0f) * ifHz);
                if (out[k] != expected) {
                    ADD_FAILURE() << "ratio " << s << ": " << out[k] << " instead of " << expected;
                    break;
                }
            }
            all.insert(all.end(), out.begin(), out.end());
        }
        return all;
    });
}

struct ChainCase {
    Mode mode;
    int fee;
    bool rxAgc;
    bool spectrumAgc;
    int noiseReducer;  // 1 off, 2 weak, 3 strong
};

constexpr ChainCase kChains[] = {
    {Mode::Usb, 48000, true, true, 1},   {Mode::Lsb, 44100, false, true, 3}, {Mode::Usb, 11025, true, false, 1},
    {Mode::Am, 48000, false, true, 1},   {Mode::Am, 44100, true, true, 2},   {Mode::Fm, 48000, false, true, 1},
    {Mode::Fm, 44100, true, false, 1},   {Mode::BroadcastFm96, 96000, false, true, 1},
    {Mode::BroadcastFm192, 192000, true, true, 1}, {Mode::BroadcastFm192, 192000, false, true, 1},
    {Mode::Usb, 192000, false, true, 1},
};

struct RowRecorder : WaterfallCanvas {
    std::vector<Colour> rows;
    void reset(int, int, const std::vector<ScaleTick>&) override {}
    void addRow(std::span<const Colour> row) override { rows.insert(rows.end(), row.begin(), row.end()); }
};

// Two seconds of a tone sweeping across the band, fading in and out so the gain control
// moves, with noise from a fixed seed; half blocks of 1024 frames, a display block of two.
std::vector<std::int64_t> receive(const ChainCase& c) {
    MixOscillator mix;
    ReceiveChain chain(mix);
    chain.setRates(c.fee, nominalOutputRate(c.fee, false), false);
    chain.setMode(c.mode);
    chain.setRxAgc(c.rxAgc);
    chain.setSpectrumAgc(c.spectrumAgc);
    chain.setNoiseReducerLevel(c.noiseReducer);
    chain.setCorrections(12, -3);
    chain.setMixFrequencies(1500, 1500 - kIfFrequencyHz);
    mix.rate = c.fee;
    chain.initReceive();
    chain.resetResampler();
    chain.setupIfFilters();
    chain.designBandFilter(300, 3000, 1024);
    if (c.noiseReducer > 1) chain.resetNoiseReducer();
    Display display;
    RowRecorder canvas;
    display.initDisplay(c.fee, &canvas);
    display.initTransform(c.fee, 2048);
    SampleFifo<std::int16_t> speaker;
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0, 300);
    std::vector<std::int64_t> out;
    std::vector<std::int16_t> frames(2048);
    long t = 0;
    for (int block = 0; block < 2 * c.fee / 2048; ++block) {
        for (int h = 0; h < 2; ++h) {
            for (std::size_t n = 0; n < 1024; ++n, ++t) {
                const double s = static_cast<double>(t) / c.fee;
                const double amplitude = 12000 * (0.55 + 0.45 * std::sin(2 * M_PI * 0.7 * s));
                const double phase = 2 * M_PI * (500 * s + 900 * s * s);
                frames[2 * n] = static_cast<std::int16_t>(std::lround(amplitude * std::cos(phase) + noise(random)));
                frames[2 * n + 1] = static_cast<std::int16_t>(std::lround(amplitude * std::sin(phase) + noise(random)));
            }
            chain.process(frames, 2, h * 1024, speaker);
            out.push_back(chain.inputGain());
            out.push_back(std::llround(chain.localLevelPercent() * 1e6));
        }
        display.updateDisplay(chain.displayI(2048), chain.displayQ(2048), c.fee, chain.config().fes, chain.inputGain(),
                              c.spectrumAgc, &canvas);
        out.push_back(std::llround(display.level().percent * 1e6));
    }
    out.insert(out.end(), speaker.view().begin(), speaker.view().end());
    out.insert(out.end(), canvas.rows.begin(), canvas.rows.end());
    return out;
}

TEST_F(InstructionSets, EveryModeReceivesAndDisplaysTheSame) {
    for (const ChainCase& c : kChains) {
        SCOPED_TRACE(::testing::Message() << "mode " << modeNumber(c.mode) << " at " << c.fee);
        expectSameOnEveryLevel([&] { return receive(c); });
    }
}

}  // namespace
}  // namespace orv
