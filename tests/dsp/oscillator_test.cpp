#include "dsp/oscillator.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace orv {
namespace {

TEST(OscillatorTables, ScaledSineAndCosineWithTheTurnClosed) {
    const auto& t = oscillatorTables();
    EXPECT_EQ(t.cosine[0], 40000);
    EXPECT_EQ(t.sine[0], 0);
    EXPECT_EQ(t.sine[9000], 40000);
    EXPECT_EQ(t.cosine[18000], -40000);
    EXPECT_EQ(t.sine[27000], -40000);
    EXPECT_EQ(t.cosine[36000], t.cosine[0]);
    EXPECT_EQ(t.sine[36000], 0);
    EXPECT_EQ(t.sine[3000], 20000);  // sin 30°
    EXPECT_EQ(t.ifCosine[0], 5100);
    EXPECT_EQ(t.ifCosine[900], 0);   // cos 90°
    EXPECT_EQ(t.ifCosine[3600], 5100);
    EXPECT_EQ(t.ifCosine[4500], 0);  // cos 450° = −sin 360°
    for (int k = 0; k <= 36000; k += 37) {
        EXPECT_NEAR(t.sine[static_cast<std::size_t>(k)], 40000 * std::sin(k * M_PI / 18000), 1.0) << k;
        EXPECT_NEAR(t.cosine[static_cast<std::size_t>(k)], 40000 * std::cos(k * M_PI / 18000), 1.0) << k;
    }
}

// The tables are defined by sine and cosine in extended precision, scaled and rounded to
// nearest; every entry must be exactly that, however they are computed.
TEST(OscillatorTables, EveryEntryIsTheRoundedExtendedPrecisionValue) {
    const auto& t = oscillatorTables();
    const auto scaled = [](long double v, int scale) { return static_cast<std::int32_t>(std::nearbyint(v * scale)); };
    for (int k = 0; k <= OscillatorTables::kTurn; ++k) {
        const auto angle = static_cast<long double>(static_cast<float>(k) * 0.00017453292f);
        ASSERT_EQ(t.cosine[static_cast<std::size_t>(k)], scaled(std::cos(angle), 40000)) << k;
        ASSERT_EQ(t.sine[static_cast<std::size_t>(k)], scaled(std::sin(angle), 40000)) << k;
    }
    for (std::size_t k = 0; k < t.ifCosine.size(); ++k) {
        const auto angle = static_cast<long double>(static_cast<float>(k) * 0.0017453292f);
        ASSERT_EQ(t.ifCosine[k], scaled(std::cos(angle), 5100)) << k;
    }
}

struct StepCase {
    std::int64_t frequency;
    std::int32_t rate, start, after;
};

TEST(MixOscillator, PhaseStepsTruncateWrapAndClamp) {
    const StepCase cases[] = {
        {1000, 44100, 0, 816},           // 816.3 truncated
        {-1000, 48000, 0, 36000 - 750},  // backwards
        {24000, 48000, 0, 18000},        // half the rate
        {0, 48000, 1234, 1234},          // no frequency, no movement
        {1000, 36000, 35000, 36000},     // landing exactly on 36000 stays there
        {1000, 36000, 35001, 1},         // past the turn wraps once
        {100000, 48000, 0, 36000},       // more than one turn is clamped, not wrapped
        {-100000, 48000, 0, 0},
    };
    for (const auto& c : cases) {
        MixOscillator osc;
        osc.frequencyHz = c.frequency;
        osc.rate = c.rate;
        osc.phase = c.start;
        osc.step();
        EXPECT_EQ(osc.phase, c.after) << c.frequency << " at " << c.rate;
    }
}

TEST(MixOscillator, RotationTruncatesEachQuotientOnItsOwn) {
    MixOscillator osc;
    osc.rate = 48000;
    osc.frequencyHz = 0;
    osc.phase = 3000;  // 30°: cos 34641, sin 20000
    const auto& t = oscillatorTables();
    const auto [i, q] = osc.rotate(1001, -333);
    EXPECT_EQ(i, 1001 * t.cosine[3000] / 40000 - (-333 * t.sine[3000] / 40000));
    EXPECT_EQ(q, 1001 * t.sine[3000] / 40000 + (-333 * t.cosine[3000] / 40000));
}

TEST(MixOscillator, BlockRotationEqualsOneSampleAtATime) {
    MixOscillator a;
    a.rate = 44100;
    a.frequencyHz = -7321;
    a.phase = 17;
    MixOscillator b = a;
    std::int32_t i[300];
    std::int32_t q[300];
    for (int k = 0; k < 300; ++k) {
        i[k] = (k * 7919) % 65535 - 32767;
        q[k] = (k * 104729) % 65535 - 32767;
    }
    std::int32_t bi[300];
    std::int32_t bq[300];
    std::copy(i, i + 300, bi);
    std::copy(q, q + 300, bq);
    b.rotateBlock(bi, bq, 300);
    for (int k = 0; k < 300; ++k) {
        const auto [ri, rq] = a.rotate(i[k], q[k]);
        ASSERT_EQ(bi[k], ri);
        ASSERT_EQ(bq[k], rq);
    }
    EXPECT_EQ(a.phase, b.phase);
}

TEST(TuneTone, PeaksAt90AndTroughsAt270Degrees) {
    MixOscillator tune;
    tune.frequencyHz = 0;
    tune.rate = 11025;
    tune.phase = 9000;
    EXPECT_EQ(tuneToneByte(tune), 254);
    tune.phase = 27000;
    EXPECT_EQ(tuneToneByte(tune), 0);
    tune.phase = 0;
    EXPECT_EQ(tuneToneByte(tune), 127);
}

TEST(IfOscillator, StepDropsTheFractionAndQuadratureReadsCosineAndSine) {
    IfOscillator osc;
    osc.step(441);  // Fee 44100
    EXPECT_EQ(osc.phase, 57142);
    IfOscillator at48;
    at48.step(480);
    EXPECT_EQ(at48.phase, 52500);
    const auto [p, q] = osc.quadrature(1000, 3600);  // reads 3600 and 4500
    EXPECT_FLOAT_EQ(p, 1000.0f);
    EXPECT_FLOAT_EQ(q, 0.0f);
    const auto [p90, q90] = osc.quadrature(1000, 900);
    EXPECT_FLOAT_EQ(p90, 0.0f);
    EXPECT_FLOAT_EQ(q90, -1000.0f);  // −x·sin θ
    EXPECT_EQ(osc.quadrature(1000, 9999), osc.quadrature(1000, 3600));
}

TEST(TransmitModulators, AmCarriesHalfTheSumAndFmKeepsTheAmplitude) {
    MixOscillator osc;
    osc.rate = 48000;
    osc.frequencyHz = 0;
    const auto [ai, aq] = osc.modulateAm(0);
    EXPECT_EQ(ai, 40000 * 16383 / 40000);
    EXPECT_EQ(aq, 0);
    const auto [fi, fq] = osc.modulateFm(32767);  // full scale: +2000 Hz
    EXPECT_EQ(osc.phase, static_cast<std::int32_t>(2000LL * 1000 * 36 / 48000));
    EXPECT_NEAR(std::hypot(fi, fq), 32767, 2);
    osc.phase = 0;
    const auto [ci, cq] = osc.mixCorrected(1000, 1000, 0, 0);
    EXPECT_EQ(ci, 1000);
    EXPECT_EQ(cq, 0);
}

}  // namespace
}  // namespace orv
