#include "dsp/receive_chain.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

namespace orv {
namespace {

TEST(SoftLimiter, BendsAbove20000AndNeverPassesFullScale) {
    EXPECT_EQ(ReceiveChain::softLimit(30000), 27220);
    EXPECT_EQ(ReceiveChain::softLimit(-30000), -27220);
    EXPECT_EQ(ReceiveChain::softLimit(20000), 20000);
    EXPECT_EQ(ReceiveChain::softLimit(-20000), -20000);
    EXPECT_EQ(ReceiveChain::softLimit(123), 123);
    EXPECT_LE(ReceiveChain::softLimit(2000000000), 32767);
    EXPECT_GE(ReceiveChain::softLimit(-2000000000), -32767);
    EXPECT_LT(ReceiveChain::softLimit(20001), ReceiveChain::softLimit(20100));
}

// A chain at `fee` with its band filter designed for USB 0 … 3300 Hz.
struct ChainFixture {
    MixOscillator mix;
    ReceiveChain chain{mix};
    ReceiveSettings settings;
    ReceiveOutput out;

    explicit ChainFixture(int fee, bool fesEqualsFee = false) {
        settings.fee = fee;
        settings.fes = fesEqualsFee ? fee : (fee >= 96000 ? 24000 : (fee == 44100 || fee == 11025 ? 11025 : 12000));
        settings.fesEqualsFee = fesEqualsFee;
        settings.rxAgcOn = false;
        settings.spectrumAgcOn = false;
        mix.rate = fee;
        chain.initReceive(settings);
        chain.resetResampler();
        chain.designBandFilter(0, 3300, settings.fes, 1024);
    }
    // Runs one half block of 1024 samples given by f(t) on I and g(t) on Q.
    template <typename F, typename G>
    void halfBlock(long& t, F f, G g) {
        for (std::size_t n = 0; n < 1024; ++n, ++t) {
            chain.blockI[n] = f(t);
            chain.blockQ[n] = g(t);
        }
        chain.processHalfBlock(1024, settings, out);
    }
};

TEST(ReceiveChain, WithNoShiftOrFilterTheOutputIsTheInputOneSampleLate) {
    ChainFixture f(12000, true);  // no decimation, no band filter
    long t = 0;
    const auto ramp = [](long k) { return static_cast<std::int32_t>(k % 20000); };
    const auto zero = [](long) { return 0; };
    f.halfBlock(t, ramp, zero);
    EXPECT_TRUE(f.out.speaker.empty());  // 1023 samples wait for a block of 1024
    for (int b = 0; b < 5; ++b) f.halfBlock(t, ramp, zero);
    // 6 × 1024 − 1 regulated samples: five whole blocks, in order, none lost.
    ASSERT_EQ(f.out.speaker.size(), 5u * 1024);
    for (std::size_t k = 0; k < f.out.speaker.size(); ++k) ASSERT_EQ(f.out.speaker[k], ramp(static_cast<long>(k))) << k;
}

TEST(ReceiveChain, DecimatesByTheRatioOfTheRates) {
    struct Case {
        int fee;
        std::size_t expected;  // speaker samples after 10 half blocks
    };
    // 10 × 1024 − 1 regulated samples, decimated by 4 (2559) or 8 (1279), in blocks of 1024.
    for (const auto c : {Case{44100, 2048}, Case{48000, 2048}, Case{96000, 2048}, Case{192000, 1024},
                         Case{11025, 9216}, Case{12000, 9216}}) {
        ChainFixture f(c.fee);
        long t = 0;
        for (int b = 0; b < 10; ++b) f.halfBlock(t, [](long) { return 0; }, [](long) { return 0; });
        EXPECT_EQ(f.out.speaker.size(), c.expected) << c.fee;
    }
}

// RMS of the speaker audio after the first `skip` samples.
double rms(const std::vector<std::int16_t>& s, std::size_t skip) {
    double p = 0;
    for (std::size_t k = skip; k < s.size(); ++k) p += static_cast<double>(s[k]) * s[k];
    return std::sqrt(p / static_cast<double>(s.size() - skip));
}

std::vector<std::int16_t> toneThroughChain(bool receiverIsSdR, double hz) {
    ChainFixture f(48000);
    f.settings.receiverIsSdR = receiverIsSdR;
    long t = 0;
    const auto i = [hz](long k) { return static_cast<std::int32_t>(std::lround(8000 * std::cos(2 * M_PI * hz * k / 48000))); };
    const auto q = [hz](long k) { return static_cast<std::int32_t>(std::lround(8000 * std::sin(2 * M_PI * hz * k / 48000))); };
    for (int b = 0; b < 40; ++b) f.halfBlock(t, i, q);
    return f.out.speaker;
}

TEST(ReceiveChain, AnSdrReceiverSeparatesTheSidebandsADirectConversionOneMixesThem) {
    const double usb = rms(toneThroughChain(true, 1000), 2048);
    const double lsb = rms(toneThroughChain(true, -1000), 2048);
    EXPECT_GT(20 * std::log10(usb / lsb), 40);
    // Direct conversion: Q follows I, so both sides come out alike.
    const double dcUpper = rms(toneThroughChain(false, 1000), 2048);
    const double dcLower = rms(toneThroughChain(false, -1000), 2048);
    EXPECT_NEAR(dcUpper, dcLower, dcUpper * 0.02);
    EXPECT_GT(dcUpper, 1000);
}

TEST(ReceiveChain, SilenceShowsLevelZero) {
    ChainFixture f(48000);
    long t = 0;
    for (int b = 0; b < 10; ++b) f.halfBlock(t, [](long) { return 0; }, [](long) { return 0; });
    EXPECT_TRUE(f.out.levelUpdated);
    EXPECT_EQ(f.chain.localLevelPercent(), 0.0);
}

// Raw stereo capture bytes: left `l(n)`, right `r(n)`.
template <typename L, typename R>
std::vector<std::uint8_t> stereoBytes(int frames, L l, R r) {
    std::vector<std::uint8_t> raw;
    for (int n = 0; n < frames; ++n)
        for (const std::int32_t v : {l(n), r(n)}) {
            raw.push_back(static_cast<std::uint8_t>(v & 0xFF));
            raw.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
        }
    return raw;
}

TEST(ConvertHalfBlock, ReadsLittleEndianChannelsAndSwapsThemOnRequest) {
    ChainFixture f(48000);
    const auto raw = stereoBytes(8, [](int n) { return 1000 + n; }, [](int n) { return -1000 - n; });
    f.chain.convertHalfBlock(raw, 1, 4, 2, true, f.settings);  // frames 2 … 5
    f.chain.convertHalfBlock(raw, 2, 4, 2, true, f.settings);
    EXPECT_EQ(f.chain.captureI[0], 1002);
    EXPECT_EQ(f.chain.captureQ[3], -1005);
    EXPECT_EQ(f.chain.displayQ[3], -1005);
    f.settings.rxSwapIq = true;
    f.chain.convertHalfBlock(raw, 1, 4, 0, true, f.settings);
    f.chain.convertHalfBlock(raw, 2, 4, 0, true, f.settings);
    EXPECT_EQ(f.chain.captureI[0], -1000);
    EXPECT_EQ(f.chain.captureQ[0], 1000);
    // Mono capture: two bytes a sample.
    const std::vector<std::uint8_t> mono{0x34, 0x12, 0xFE, 0xFF};
    f.chain.convertHalfBlock(mono, 1, 2, 0, false, f.settings);
    EXPECT_EQ(f.chain.captureI[0], 0x1234);
    EXPECT_EQ(f.chain.captureI[1], -2);
}

TEST(ConvertHalfBlock, GainControlAppliesWhereItsButtonsSay) {
    const auto raw = stereoBytes(1024, [](int) { return 1000; }, [](int) { return 1000; });
    ChainFixture off(48000);
    off.chain.convertHalfBlock(raw, 1, 1024, 0, true, off.settings);
    EXPECT_EQ(off.chain.captureI[1023], 1000);
    EXPECT_EQ(off.chain.displayI[1023], 1000);
    EXPECT_EQ(off.chain.inputGain(), 100);

    ChainFixture spectrumOnly(48000);
    spectrumOnly.settings.spectrumAgcOn = true;
    spectrumOnly.chain.convertHalfBlock(raw, 1, 1024, 0, true, spectrumOnly.settings);
    const std::int32_t gain = spectrumOnly.chain.inputGain();
    EXPECT_NE(gain, 100);  // starts from the smoother's 10 % and moves towards the target
    EXPECT_EQ(spectrumOnly.chain.displayI[1023], 1000 * gain / 100);
    EXPECT_EQ(spectrumOnly.chain.captureI[1023], 1000);
}

TEST(ConvertHalfBlock, SilenceDrivesTheInputGainTowardsFiftyTimes) {
    ChainFixture f(48000);
    f.settings.rxAgcOn = true;
    const auto raw = stereoBytes(1024, [](int) { return 0; }, [](int) { return 0; });
    for (int b = 0; b < 3 * 48000 / 1024; ++b) {
        f.chain.convertHalfBlock(raw, 1, 1024, 0, true, f.settings);
        f.chain.convertHalfBlock(raw, 2, 1024, 0, true, f.settings);
    }
    EXPECT_GT(f.chain.inputGain(), 4000);
    EXPECT_LE(f.chain.inputGain(), 5000);
}

TEST(CorrectIq, ScalesQByThousandthsThenTakesOffThePhaseLeak) {
    ChainFixture f(48000);
    f.chain.captureI[0] = 10000;
    f.chain.captureQ[0] = 1000;
    f.settings.amplitudeCorrection = 100;  // ×1.1
    f.settings.phaseCorrection = 10;       // 0.01565 of I
    f.chain.correctIq(1, f.settings);
    EXPECT_EQ(f.chain.captureQ[0], 944);  // 1100 − 156.5 = 943.5, rounded to the even 944
}

TEST(SetOutputRate, KeepsThePositionWhileTheRatioChanges) {
    ChainFixture f(48000);
    long t = 0;
    for (int b = 0; b < 3; ++b) f.halfBlock(t, [](long) { return 0; }, [](long) { return 0; });
    f.chain.setOutputRate(12012, 48000);  // 0.1 % fast: fewer input samples per output
    EXPECT_EQ(f.chain.resampleRatio(), 100000000 / (12012 * 10000 / 12000));
}

}  // namespace
}  // namespace orv
