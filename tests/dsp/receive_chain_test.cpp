#include "dsp/receive_chain.hpp"

#include "dsp/rates.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
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
    SampleFifo<std::int16_t> speaker;

    explicit ChainFixture(int fee, bool fesEqualsFee = false, bool sdr = true) {
        chain.setRates(fee, nominalOutputRate(fee, fesEqualsFee), fesEqualsFee);
        chain.setRxAgc(false);
        chain.setSpectrumAgc(false);
        chain.setReceiverIsSdR(sdr);
        mix.rate = fee;
        chain.initReceive();
        chain.resetResampler();
        chain.designBandFilter(0, 3300, 1024);
    }
    // Runs one half block of 1024 frames given by f(t) on I (left) and g(t) on Q (right).
    template <typename F, typename G>
    void halfBlock(long& t, F f, G g) {
        std::vector<std::int16_t> frames(2048);
        for (std::size_t n = 0; n < 1024; ++n, ++t) {
            frames[2 * n] = static_cast<std::int16_t>(f(t));
            frames[2 * n + 1] = static_cast<std::int16_t>(g(t));
        }
        chain.process(frames, 2, 0, speaker);
    }
    std::vector<std::int16_t> audio() const { return {speaker.view().begin(), speaker.view().end()}; }
};

TEST(ReceiveChain, WithNoShiftOrFilterTheOutputIsTheInputOneSampleLate) {
    ChainFixture f(12000, true);  // no decimation, no band filter
    long t = 0;
    const auto ramp = [](long k) { return static_cast<std::int32_t>(k % 20000); };
    const auto zero = [](long) { return 0; };
    f.halfBlock(t, ramp, zero);
    EXPECT_TRUE(f.speaker.empty());  // 1023 samples wait for a block of 1024
    for (int b = 0; b < 5; ++b) f.halfBlock(t, ramp, zero);
    // 6 × 1024 − 1 regulated samples: five whole blocks, in order, none lost.
    ASSERT_EQ(f.speaker.size(), 5u * 1024);
    for (std::size_t k = 0; k < f.speaker.size(); ++k) ASSERT_EQ(f.speaker[k], ramp(static_cast<long>(k))) << k;
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
        EXPECT_EQ(f.speaker.size(), c.expected) << c.fee;
    }
}

// RMS of the speaker audio after the first `skip` samples.
double rms(const std::vector<std::int16_t>& s, std::size_t skip) {
    double p = 0;
    for (std::size_t k = skip; k < s.size(); ++k) p += static_cast<double>(s[k]) * s[k];
    return std::sqrt(p / static_cast<double>(s.size() - skip));
}

std::vector<std::int16_t> toneThroughChain(bool receiverIsSdR, double hz) {
    ChainFixture f(48000, false, receiverIsSdR);
    long t = 0;
    const auto i = [hz](long k) { return static_cast<std::int32_t>(std::lround(8000 * std::cos(2 * M_PI * hz * k / 48000))); };
    const auto q = [hz](long k) { return static_cast<std::int32_t>(std::lround(8000 * std::sin(2 * M_PI * hz * k / 48000))); };
    for (int b = 0; b < 40; ++b) f.halfBlock(t, i, q);
    return f.audio();
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
    EXPECT_FALSE(f.speaker.empty());  // audio blocks completed, each measured
    EXPECT_EQ(f.chain.localLevelPercent(), 0.0);
}

// Stereo capture frames: left `l(n)`, right `r(n)`.
template <typename L, typename R>
std::vector<std::int16_t> stereoFrames(int frames, L l, R r) {
    std::vector<std::int16_t> out;
    for (int n = 0; n < frames; ++n)
        for (const std::int32_t v : {l(n), r(n)}) out.push_back(static_cast<std::int16_t>(v));
    return out;
}

TEST(ConvertHalfBlock, ReadsTheChannelsAndSwapsThemOnRequest) {
    ChainFixture f(48000);
    const auto frames = stereoFrames(8, [](int n) { return 1000 + n; }, [](int n) { return -1000 - n; });
    const auto fromTwo = std::span(frames).subspan(4);  // frames 2 … 5
    f.chain.convertHalfBlock(fromTwo, 2, 1, 4, 0);
    f.chain.convertHalfBlock(fromTwo, 2, 2, 4, 0);
    EXPECT_EQ(f.chain.blockI(4)[0], 1002);
    EXPECT_EQ(f.chain.blockQ(4)[3], -1005);
    EXPECT_EQ(f.chain.displayQ(4)[3], -1005);
    // The display samples go where they are asked; the block always starts at 0.
    f.chain.convertHalfBlock(frames, 2, 1, 4, 100);
    EXPECT_EQ(f.chain.displayI(104)[100], 1000);
    EXPECT_EQ(f.chain.blockI(4)[0], 1000);
    f.chain.setSwapIq(true);
    f.chain.convertHalfBlock(frames, 2, 1, 4, 0);
    f.chain.convertHalfBlock(frames, 2, 2, 4, 0);
    EXPECT_EQ(f.chain.blockI(4)[0], -1000);
    EXPECT_EQ(f.chain.blockQ(4)[0], 1000);
    // Mono capture: one sample a frame.
    const std::vector<std::int16_t> mono{0x1234, -2};
    f.chain.convertHalfBlock(mono, 1, 1, 2, 0);
    EXPECT_EQ(f.chain.blockI(2)[0], 0x1234);
    EXPECT_EQ(f.chain.blockI(2)[1], -2);
}

TEST(ConvertHalfBlock, GainControlAppliesWhereItsButtonsSay) {
    const auto frames = stereoFrames(1024, [](int) { return 1000; }, [](int) { return 1000; });
    ChainFixture off(48000);
    off.chain.convertHalfBlock(frames, 2, 1, 1024, 0);
    EXPECT_EQ(off.chain.blockI(1024)[1023], 1000);
    EXPECT_EQ(off.chain.displayI(1024)[1023], 1000);
    EXPECT_EQ(off.chain.inputGain(), 100);

    ChainFixture spectrumOnly(48000);
    spectrumOnly.chain.setSpectrumAgc(true);
    spectrumOnly.chain.convertHalfBlock(frames, 2, 1, 1024, 0);
    const std::int32_t gain = spectrumOnly.chain.inputGain();
    EXPECT_NE(gain, 100);  // starts from the smoother's 10 % and moves towards the target
    EXPECT_EQ(spectrumOnly.chain.displayI(1024)[1023], 1000 * gain / 100);
    EXPECT_EQ(spectrumOnly.chain.blockI(1024)[1023], 1000);
}

TEST(ConvertHalfBlock, SilenceDrivesTheInputGainTowardsFiftyTimes) {
    ChainFixture f(48000);
    f.chain.setRxAgc(true);
    const auto frames = stereoFrames(1024, [](int) { return 0; }, [](int) { return 0; });
    for (int b = 0; b < 3 * 48000 / 1024; ++b) {
        f.chain.convertHalfBlock(frames, 2, 1, 1024, 0);
        f.chain.convertHalfBlock(frames, 2, 2, 1024, 0);
    }
    EXPECT_GT(f.chain.inputGain(), 4000);
    EXPECT_LE(f.chain.inputGain(), 5000);
}

// Without the receive gain control, AM, FM and broadcast FM at 192000 work the display's
// gains out alongside their high-pass or de-emphasis: they must be those of converting the
// channels one by one, through window changes of the target, for I/Q in either order.
TEST(ConvertHalfBlock, TheDisplayGainsAreTheSameWhereverTheChainWorksThemOut) {
    struct Case { Mode mode; int fee; bool swap; };
    for (const Case c : {Case{Mode::BroadcastFm192, 192000, false}, Case{Mode::BroadcastFm192, 192000, true},
                         Case{Mode::Am, 48000, false}, Case{Mode::Fm, 44100, true}}) {
        const bool swap = c.swap;
        ChainFixture whole(c.fee);
        ChainFixture alone(c.fee);
        for (ChainFixture* f : {&whole, &alone}) {
            f->chain.setMode(c.mode);
            f->chain.setupIfFilters();
            f->chain.setSpectrumAgc(true);
            f->chain.setSwapIq(swap);
        }
        int t = 0;
        for (int half = 0; half < 200; ++half, t += 1024) {
            // A level that changes every 0.1 s, so the gain target keeps moving.
            const auto level = [&](int n) { return 200 + ((t + n) / 19200 % 7) * 2500; };
            const auto frames = stereoFrames(1024, [&](int n) { return level(n) * ((n % 5) - 2) / 2; },
                                             [&](int n) { return level(n) * ((n % 3) - 1); });
            whole.chain.process(frames, 2, (half % 2) * 1024, whole.speaker);
            alone.chain.convertHalfBlock(frames, 2, 1, 1024, (half % 2) * 1024);
            alone.chain.convertHalfBlock(frames, 2, 2, 1024, (half % 2) * 1024);
            ASSERT_EQ(whole.chain.inputGain(), alone.chain.inputGain()) << modeNumber(c.mode) << " " << half;
            const auto at = static_cast<std::size_t>((half % 2) * 1024);
            for (std::size_t n = at; n < at + 1024; ++n) {
                ASSERT_EQ(whole.chain.displayI(2048)[n], alone.chain.displayI(2048)[n]) << half << " " << n;
                ASSERT_EQ(whole.chain.displayQ(2048)[n], alone.chain.displayQ(2048)[n]) << half << " " << n;
            }
        }
    }
}

// The input gain as defined: every sample goes through the peak detector, and the
// smoother steps towards the target on every sample, settled or not.
struct InputGainModel {
    explicit InputGainModel(int fee) : window(2 * (fee / 4)) {
        smoother.period = 1.0f / (2.0f * static_cast<float>(fee));
    }
    std::int32_t step(std::int32_t v) {
        peak = std::max(peak, std::abs(v));
        smoother.step(static_cast<float>(target));
        const auto gain = static_cast<std::int32_t>(std::nearbyint(smoother.output));
        if (++count >= window) {
            target = peak == 0 ? 5000 : std::clamp(1092200 / peak, 100, 5000);
            peak = 0;
            count = 0;
        }
        return gain;
    }
    Smoother smoother{10.0f, 10.0f, 0.0f, 0.333f};
    std::int32_t window;
    std::int32_t peak = 0;
    std::int32_t count = 0;
    std::int32_t target = 100;
};

// The smoother comes to rest on a steady level (its step then changes nothing), the level
// then jumps and rests again; the peak windows end inside half blocks and between I and Q.
TEST(ConvertHalfBlock, TheInputGainIsTheSmoothersStepOnEverySampleSettledOrNot) {
    for (const int channels : {2, 1}) {
        ChainFixture f(44100);
        f.chain.setSpectrumAgc(true);
        InputGainModel model(44100);
        const auto level = [](long t) { return t < 200000 ? 3000 : (t < 400000 ? 20000 : 700); };
        long t = 0;
        bool rested = false;
        for (int half = 0; half < 600; ++half) {
            std::vector<std::int16_t> frames;
            for (int n = 0; n < 1000; ++n, ++t)
                for (int c = 0; c < channels; ++c)
                    frames.push_back(static_cast<std::int16_t>(level(t) * ((t + c) % 7 - 3) / 3));
            for (int c = 1; c <= channels; ++c) {
                f.chain.convertHalfBlock(frames, channels, c, 1000, 0);
                const std::span<const std::int32_t> display =
                    c == 1 ? f.chain.displayI(1000) : f.chain.displayQ(1000);
                for (int n = 0; n < 1000; ++n) {
                    const std::int32_t v = frames[static_cast<std::size_t>(n * channels + c - 1)];
                    const std::int32_t expected = std::clamp(v * model.step(v) / 100, -32767, 32767);
                    ASSERT_EQ(display[static_cast<std::size_t>(n)], expected)
                        << channels << " channels, half " << half << ", channel " << c << ", sample " << n;
                }
            }
            Smoother probe = model.smoother;
            probe.step(static_cast<float>(model.target));
            rested = rested ||
                     (probe.output == model.smoother.output && probe.previousInput == model.smoother.previousInput);
        }
        EXPECT_TRUE(rested) << "the level never let the smoother rest";
    }
}

TEST(CorrectIq, ScalesQByThousandthsThenTakesOffThePhaseLeak) {
    ChainFixture f(48000);
    const std::vector<std::int16_t> frame{10000, 1000};
    f.chain.convertHalfBlock(frame, 2, 1, 1, 0);
    f.chain.convertHalfBlock(frame, 2, 2, 1, 0);
    f.chain.setCorrections(100, 10);  // ×1.1, then 0.01565 of I
    f.chain.correctIq(1);
    EXPECT_EQ(f.chain.blockQ(1)[0], 944);  // 1100 − 156.5 = 943.5, rounded to the even 944
}

// Off the nominal ratio each output lies between two inputs: output k at v = ratio × k
// ten-thousandths of an input, (x[w] × (10000 − r) + x[w + 1] × r) / 10000 with w and r
// the whole and the rest of v / 10000, before the first input zeros. With Fes = Fee, no
// tuning and small samples the speaker hears the resampled I as it is.
TEST(Resampler, OffTheNominalRatioEachOutputLiesBetweenTwoInputs) {
    const auto signal = [](long t) { return static_cast<std::int32_t>((t * 7919) % 30001) - 15000; };
    for (const int rate : {12011, 11989, 12120, 11900}) {
        ChainFixture f(12000, true);
        f.chain.setOutputRate(rate);
        const std::int64_t ratio = f.chain.resampleRatio();
        ASSERT_NE(ratio, 10000);
        long t = 0;
        for (int h = 0; h < 40; ++h) f.halfBlock(t, signal, [](long) { return 0; });
        const auto audio = f.audio();
        ASSERT_GT(audio.size(), 35000u) << rate;
        const auto x = [&](std::int64_t i) { return i < 0 ? std::int64_t{0} : std::int64_t{signal(i)}; };
        // The change of ratio kept the position before the first input, −10000, to the
        // nearest output.
        const std::int64_t first = -10000 / ratio + (-10000 % ratio > ratio / 2 ? 1 : 0) + 1;
        for (std::size_t k = 0; k < audio.size(); ++k) {
            const std::int64_t v = ratio * (first + static_cast<std::int64_t>(k));
            const std::int64_t w = v / 10000;
            const std::int64_t r = v % 10000;
            ASSERT_EQ(audio[k], (x(w) * (10000 - r) + x(w + 1) * r) / 10000) << rate << " output " << k;
        }
    }
}

TEST(SetOutputRate, KeepsThePositionWhileTheRatioChanges) {
    ChainFixture f(48000);
    long t = 0;
    for (int b = 0; b < 3; ++b) f.halfBlock(t, [](long) { return 0; }, [](long) { return 0; });
    f.chain.setOutputRate(12012);  // 0.1 % fast: fewer input samples per output
    EXPECT_EQ(f.chain.resampleRatio(), 100000000 / (12012 * 10000 / 12000));
}

}  // namespace
}  // namespace orv
