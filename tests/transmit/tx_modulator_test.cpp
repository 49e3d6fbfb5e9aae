#include "transmit/tx_modulator.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "transmit/microphone.hpp"
#include "transmit/tx_filters.hpp"

namespace orv {
namespace {

constexpr double kPi = std::numbers::pi;

// The 8-bit audio of a tone at `rate`, full swing ±`amplitude` around 127.5.
std::vector<std::uint8_t> toneBytes(double hz, int rate, int samples, double amplitude = 120) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(samples));
    for (int n = 0; n < samples; ++n)
        out[static_cast<std::size_t>(n)] =
            static_cast<std::uint8_t>(std::lround(127.5 + amplitude * std::sin(2 * kPi * hz * n / rate)));
    return out;
}

// Power of the interleaved I/Q frames at a signed frequency, from frame `skip` on.
double powerAt(const SampleFifo<std::int16_t>& tx, double hz, int rate, std::size_t skip) {
    std::complex<double> sum = 0;
    const std::size_t frames = tx.size() / 2;
    for (std::size_t n = skip; n < frames; ++n) {
        const std::complex<double> x(tx[2 * n], tx[2 * n + 1]);
        sum += x * std::polar(1.0, -2 * kPi * hz * static_cast<double>(n) / rate);
    }
    return std::norm(sum);
}

TEST(TxModulator, BytesBecomeOddSamplesAroundZero) {
    EXPECT_EQ(txSampleFromByte(128), 1);
    EXPECT_EQ(txSampleFromByte(127), -1);
    EXPECT_EQ(txSampleFromByte(0), -255);
    EXPECT_EQ(txSampleFromByte(255), 255);
}

TEST(TxInterpolation, WholeRatioStepsLinearlyFromTheLastSample) {
    WholeRatioInterpolator interpolate;
    std::vector<std::int32_t> out;
    interpolate.run(100, 4, [&](std::int32_t y) { out.push_back(y); });
    EXPECT_EQ(out, (std::vector<std::int32_t>{25, 50, 75, 100}));
    out.clear();
    interpolate.run(-100, 4, [&](std::int32_t y) { out.push_back(y); });
    // Divisions truncate toward zero.
    EXPECT_EQ(out, (std::vector<std::int32_t>{50, 0, -50, -100}));
}

TEST(TxInterpolation, FractionalOutputsCarryAcrossChunksAndLagOneInput) {
    // 2 inputs for 3 outputs: positions 2/3, 4/3, 2, 8/3 …; x[−1] = 0.
    const std::vector<std::int32_t> x = {300, 600, 900, 1200};
    FractionalInterpolator whole;
    std::vector<std::int32_t> once;
    whole.run(x, 2, 3, once);
    FractionalInterpolator split;
    std::vector<std::int32_t> twice;
    split.run(std::span(x).first(1), 2, 3, twice);
    split.run(std::span(x).subspan(1), 2, 3, twice);
    EXPECT_EQ(once, twice);
    ASSERT_GE(once.size(), 5u);
    EXPECT_EQ(once[0], 200);   // 0 + 300 × 2/3
    EXPECT_EQ(once[1], 400);   // 300 + 300 × 1/3
    EXPECT_EQ(once[2], 600);   // x[1] exactly
    EXPECT_EQ(once[3], 800);
    EXPECT_EQ(once[4], 1000);
}

TEST(TxInterpolation, TheRuleFollowsTheRates) {
    struct Case {
        int audio, fee;
        bool whole;
    };
    constexpr Case kCases[] = {{11025, 44100, true}, {5512, 11025, true},  {11025, 11025, true},
                               {12000, 12000, true}, {11025, 12000, false}, {12000, 22050, false},
                               {12000, 48000, false}, {12000, 96000, false}, {5512, 192000, false}};
    for (const auto& c : kCases) {
        TxModulator m;
        m.start(c.audio, c.fee, true);
        EXPECT_EQ(m.wholeRatio(), c.whole) << c.audio << " → " << c.fee;
    }
}

TEST(TxFilters, InterpolationDesignsFollowTheTable) {
    struct Case {
        int stage, in, out, taps, cutoff;
    };
    constexpr Case kCases[] = {{1, 5512, 11025, 200, 2600}, {1, 5512, 12000, 200, 2600}, {1, 5512, 24000, 200, 2500},
                               {1, 5512, 22050, 184, 2500}, {1, 11025, 44100, 184, 4800}, {1, 12000, 24000, 100, 4800},
                               {1, 11025, 11025, 46, 4800},  {2, 24000, 96000, 12, 16000}, {2, 24000, 192000, 12, 25000},
                               {2, 24000, 48000, 14, 10000}};
    for (const auto& c : kCases) {
        const auto d = txInterpolationDesign(c.stage, c.in, c.out);
        EXPECT_EQ(d.taps, c.taps) << c.stage << " " << c.in << " → " << c.out;
        EXPECT_EQ(d.cutoffHz, c.cutoff) << c.stage << " " << c.in << " → " << c.out;
        EXPECT_EQ(designTxInterpolation(c.stage, c.in, c.out).taps(), c.taps);
    }
}

TEST(TxFilters, InterpolationFilterSumsThePairsThenDivides) {
    for (const auto& [stage, in, out] : {std::tuple{1, 11025, 44100}, {1, 12000, 24000}, {2, 24000, 192000}}) {
        TxInterpolationFilter fir = designTxInterpolation(stage, in, out);
        std::int64_t taps = 0;
        for (const std::int32_t h : fir.halfTaps()) taps += h;
        std::int32_t y = 0;
        for (int n = 0; n < 400; ++n) y = fir.filter(10000);
        EXPECT_EQ(y, 2 * 10000 * taps / fir.scale()) << stage << " " << out;
        // The long first stages pass DC at unit gain; the short second stage nearly so.
        EXPECT_NEAR(y, 10000, stage == 1 ? 150 : 1000) << stage << " " << out;
    }
}

TEST(TxFilters, HilbertLengthsAndFullScale) {
    for (const auto& [rate, length] : {std::pair{11025, 151}, {12000, 165}, {24000, 329}, {44100, 605}})
        EXPECT_EQ(HilbertTransformer(rate).length(), length) << rate;
    HilbertTransformer h(11025);
    const auto taps = h.taps();
    for (std::size_t j = 2; j < taps.size(); j += 2) EXPECT_EQ(taps[j], 0);
    EXPECT_EQ(taps[1], static_cast<std::int32_t>(std::nearbyint((0.54 + 0.46 * std::cos(2 * kPi / 150)) * -2 / kPi * 1e5)));
    // ±255 in the middle of the line is ±29000 on I.
    HilbertTransformer::Pair p{};
    for (int n = 0; n <= 75; ++n) p = h.push(n == 0 ? 255 : 0);
    EXPECT_EQ(p.i, 29000);
    for (int n = 0; n <= 75; ++n) p = h.push(n == 0 ? -255 : 0);
    EXPECT_EQ(p.i, -29000);
}

TEST(TxCorrection, QuadratureCorrectionRoundsHalfToEven) {
    // 10 × 1565 × 10000 / 1e6 = 156.5 comes off Q.
    EXPECT_EQ(correctTxQuadrature(10000, 1000, 0, 10), 844);  // 843.5
    EXPECT_EQ(correctTxQuadrature(10000, 1001, 0, 10), 844);  // 844.5
    EXPECT_EQ(correctTxQuadrature(10000, 1000, 100, 0), 1100);
    EXPECT_EQ(correctTxQuadrature(-20000, -32767, -100, -100), -32620);  // −29490.3 − 3130
    // No correction leaves every value as it was.
    for (const std::int32_t q : {-32767, -1, 0, 1, 12345, 32767}) EXPECT_EQ(correctTxQuadrature(9999, q, 0, 0), q);
}

struct SidebandCase {
    int audioRate;
    int fee;
    Mode mode;
};

// The modulator's output keeps the wanted sideband and puts the other at least 40 dB down,
// whatever path the rates take.
TEST(TxModulator, SingleSidebandImageIsAtLeast40DbDown) {
    constexpr SidebandCase kCases[] = {{11025, 11025, Mode::Usb}, {11025, 44100, Mode::Usb}, {12000, 12000, Mode::Lsb},
                                       {11025, 12000, Mode::Usb}, {5512, 11025, Mode::Usb},  {12000, 48000, Mode::Usb},
                                       {12000, 96000, Mode::Lsb}, {5512, 192000, Mode::Usb}, {11025, 22050, Mode::Lsb}};
    for (const auto& c : kCases) {
        TxModulator m;
        m.start(c.audioRate, c.fee, true);
        MixOscillator mix;
        mix.frequencyHz = 0;
        mix.rate = c.fee;
        SampleFifo<std::int16_t> tx;
        const auto audio = toneBytes(1000, c.audioRate, c.audioRate);
        for (std::size_t at = 0; at < audio.size(); at += 500)
            m.modulate(std::span(audio).subspan(at, std::min<std::size_t>(500, audio.size() - at)), {c.mode}, mix, tx);
        const double sign = c.mode == Mode::Lsb ? -1 : 1;
        const std::size_t skip = static_cast<std::size_t>(c.fee / 10);
        const double wanted = powerAt(tx, sign * 1000, c.fee, skip);
        const double image = powerAt(tx, -sign * 1000, c.fee, skip);
        EXPECT_GT(10 * std::log10(wanted / image), 40) << c.audioRate << " → " << c.fee;
        // About a second of frames for a second of audio.
        EXPECT_NEAR(static_cast<double>(tx.size() / 2), c.fee, c.fee * 0.01) << c.audioRate << " → " << c.fee;
    }
}

TEST(TxModulator, SilenceIsZeroAndSwapExchangesTheChannels) {
    TxModulator m;
    m.start(11025, 44100, true);
    MixOscillator mix;
    mix.frequencyHz = 0;
    mix.rate = 44100;
    SampleFifo<std::int16_t> tx;
    // 127 and 128 are the two bytes either side of zero; a steady mean of zero stays zero
    // after the Hilbert filter only for exact zero input, which x = 2b − 255 never is:
    // one byte pattern 128 gives +1 in, +113 out on I.
    const std::vector<std::uint8_t> one(200, 128);
    m.modulate(one, {Mode::Usb}, mix, tx);
    EXPECT_EQ(tx[tx.size() - 2], 113);
    TxModulator swapped;
    swapped.start(11025, 44100, true);
    SampleFifo<std::int16_t> txSwapped;
    swapped.modulate(one, {Mode::Usb, true}, mix, txSwapped);
    ASSERT_EQ(txSwapped.size(), tx.size());
    for (std::size_t n = 0; n + 1 < tx.size(); n += 2) {
        EXPECT_EQ(txSwapped[n], tx[n + 1]);
        EXPECT_EQ(txSwapped[n + 1], tx[n]);
    }
}

TEST(Microphone, AgcGainAndFullScaleLevel) {
    EXPECT_EQ(MicrophoneProcessor::agcGain(0), 200);
    EXPECT_EQ(MicrophoneProcessor::agcGain(63), 10);
    EXPECT_EQ(MicrophoneProcessor::agcGain(81), 10);
    EXPECT_EQ(MicrophoneProcessor::agcGain(3), 100);

    MicrophoneProcessor mic;
    mic.resetLevel();
    EXPECT_EQ(mic.level(), MicrophoneProcessor::kUnmeasured);
    std::vector<std::int16_t> sine(4000);
    for (std::size_t n = 0; n < sine.size(); ++n)
        sine[n] = static_cast<std::int16_t>(std::lround(32767 * std::sin(2 * kPi * 1234.5 * static_cast<double>(n) / 11025)));
    SampleFifo<std::uint8_t> voice;
    // Eight blocks of 4000 samples fill the meter's history.
    for (int block = 1; block <= 8; ++block) EXPECT_TRUE(mic.process(sine, false, false, voice));
    EXPECT_EQ(mic.level(), 63);
    EXPECT_EQ(voice.size(), 32000u);
}

TEST(Microphone, BytesCentreOn127AndTheAgcLiftsQuietVoice) {
    MicrophoneProcessor mic;
    mic.resetLevel();
    SampleFifo<std::uint8_t> voice;
    const std::vector<std::int16_t> samples = {0, 32767, -32768, 258, -258};
    mic.process(samples, false, false, voice);
    EXPECT_EQ(voice[0], 127);
    EXPECT_EQ(voice[1], 254);
    EXPECT_EQ(voice[2], 0);
    EXPECT_EQ(voice[3], 128);
    EXPECT_EQ(voice[4], 126);
    // Quiet input measures level 0, after which the AGC multiplies by 20.
    MicrophoneProcessor quiet;
    quiet.resetLevel();
    std::vector<std::int16_t> hush(8 * 4000, 0);
    SampleFifo<std::uint8_t> sink;
    quiet.process(hush, false, true, sink);
    EXPECT_EQ(quiet.level(), 0);
    SampleFifo<std::uint8_t> lifted;
    const std::vector<std::int16_t> small = {1000, -1000};
    quiet.process(small, false, true, lifted);
    EXPECT_EQ(lifted[0], 20000 / 258 + 127);
    EXPECT_EQ(lifted[1], -20000 / 258 + 127);
}

TEST(Microphone, TheVoiceFilterCutsAbove2800Hz) {
    const auto gainAt = [](double hz) {
        MicrophoneProcessor mic;
        mic.designLowPass(12000);
        mic.resetLevel();
        std::vector<std::int16_t> tone(6000);
        for (std::size_t n = 0; n < tone.size(); ++n)
            tone[n] = static_cast<std::int16_t>(std::lround(20000 * std::sin(2 * kPi * hz * static_cast<double>(n) / 12000)));
        SampleFifo<std::uint8_t> voice;
        mic.process(tone, true, false, voice);
        int peak = 0;
        for (std::size_t n = 1000; n < voice.size(); ++n) peak = std::max(peak, std::abs(voice[n] - 127));
        return peak;
    };
    EXPECT_NEAR(gainAt(1000), 20000 / 258, 3);
    EXPECT_LT(gainAt(4000), 3);
}

}  // namespace
}  // namespace orv
