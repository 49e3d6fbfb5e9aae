#include "display/display.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "display/tuning.hpp"

namespace orv {
namespace {

TEST(Scale, LabelsTicksAndShiftsForEveryRate) {
    const auto at44 = scaleTicks(44100, 780);
    ASSERT_EQ(at44.size(), 23u);
    EXPECT_EQ(at44.front().label, "-22");
    EXPECT_EQ(at44.front().labelLeft, 0);
    EXPECT_EQ(at44.front().hz, -22000);
    EXPECT_EQ(at44.back().label, "22");
    EXPECT_EQ(at44.back().x, 779);
    EXPECT_EQ(at44.back().labelLeft, 779 - 15);
    EXPECT_EQ(at44[1].labelLeft, at44[1].x - 7);   // −20000 < −19000
    EXPECT_EQ(at44[5].labelLeft, at44[5].x - 10);  // −14000
    EXPECT_EQ(at44[11].label, "0");
    EXPECT_EQ(at44[11].labelLeft, at44[11].x - 5);
    EXPECT_EQ(at44[20].labelLeft, at44[20].x - 10);  // 18000 > 10000

    const auto at48 = scaleTicks(48000, 780);
    ASSERT_EQ(at48.size(), 25u);
    EXPECT_EQ(at48.front().label, "-24");
    EXPECT_EQ(at48.back().label, "24");
    EXPECT_EQ(scaleTicks(192000, 780).back().label, "96");

    const auto at11 = scaleTicks(11025, 780);
    ASSERT_EQ(at11.size(), 23u);
    EXPECT_EQ(at11.front().label, "-5.5");
    EXPECT_EQ(at11[1].label, "-5.0");
    EXPECT_EQ(at11[1].labelLeft, at11[1].x - 6);
    EXPECT_EQ(at11[2].labelLeft, at11[2].x - 11);
    EXPECT_EQ(at11.back().label, "5.5");
    EXPECT_EQ(at11.back().labelLeft, 779 - 18);
    const auto at12 = scaleTicks(12000, 780);
    ASSERT_EQ(at12.size(), 13u);
    EXPECT_EQ(at12[1].label, "-5.0");
    EXPECT_EQ(at12[1].labelLeft, at12[1].x - 11);
}

TEST(ColourMap, BandsFromBlackThroughBlueAndYellowToRed) {
    struct Case {
        std::int32_t a;
        Colour colour;  // 0x00BBGGRR
    };
    for (const auto c : {Case{0, 0x000000}, Case{35, 0x7F0000}, Case{70, 0xFF0000}, Case{260, 0x807F7F},
                         Case{450, 0x00FFFF}, Case{2500, 0x0080FF}, Case{3000, 0x0001FF}, Case{9000, 0x0001FF}})
        EXPECT_EQ(waterfallColour(c.a, false), c.colour) << c.a;
    EXPECT_EQ(waterfallColour(3000, true), 0xFFFFFFu);
    EXPECT_EQ(waterfallColour(1500, true), 0x7F7F7Fu);
    EXPECT_EQ(waterfallColour(99999, true), 0xFFFFFFu);
}

TEST(Display, TheSpectrumAgcFillsTheRangeButAtMostAHundredfold) {
    Display d;
    d.line()[100] = 20;  // 3000 / 20 = 150, capped at 100
    const auto row = d.rowColours(true, true);
    EXPECT_EQ(row[100], waterfallColour(20 * 100, true));
    EXPECT_EQ(d.rowColours(false, true)[100], waterfallColour(20, true));
    Display silent;
    EXPECT_EQ(silent.rowColours(true, true)[5], waterfallColour(0, true));  // all zero: ×1
}

// A row's colours are the colour map's for every value it can hold, from below 0 to past
// 3000, in both palettes.
TEST(Display, RowColoursFollowTheColourMapForEveryValue) {
    Display d;
    const auto width = static_cast<std::int32_t>(d.line().size());
    for (std::int32_t first = -10; first < 3100; first += width) {
        for (std::int32_t x = 0; x < width; ++x) d.line()[static_cast<std::size_t>(x)] = first + x;
        for (const bool grey : {false, true}) {
            const auto row = d.rowColours(false, grey);
            for (std::int32_t x = 0; x < width; ++x)
                ASSERT_EQ(row[static_cast<std::size_t>(x)], waterfallColour(first + x, grey)) << first + x << " " << grey;
        }
    }
}

TEST(Display, NothingIsDrawnAsOneExceptColumnZero) {
    Display d;
    d.initTransform(44100, 2048);
    d.mapSpectrum(44100);
    EXPECT_EQ(d.line()[0], 0);
    for (std::size_t x = 1; x < d.line().size(); ++x) ASSERT_EQ(d.line()[x], 1) << x;
}

TEST(Display, SaturationShowsFrom70Percent) {
    // 22 blocks of RMS 16219 make exactly 70.0 %; 16218 just under.
    for (const auto& [rms, saturated] : {std::pair{16219, true}, std::pair{16218, false}}) {
        Display d;
        const std::vector<std::int32_t> i(2048, rms);
        const std::vector<std::int32_t> q(2048, 0);
        for (int b = 0; b < 22; ++b) d.measureLevel(i, q, 100, false);
        EXPECT_EQ(d.level().saturated, saturated) << d.level().percent;
        EXPECT_NEAR(d.level().percent, 70.0, 0.01);
        EXPECT_EQ(d.level().meterPosition, 14);
    }
    Display withGain;
    const std::vector<std::int32_t> gained(2048, 20000);  // 10000 at a gain of 200 %
    const std::vector<std::int32_t> zero(2048, 0);
    withGain.measureLevel(gained, zero, 200, true);
    EXPECT_NEAR(withGain.level().percent, 10000.0 * 100 / 22 / 23170, 0.01);
}

// The reading as defined: each square taken back by the gain on its own, the scaled
// squares summed in order, the root rounded to the nearest (ties to even).
std::int32_t rmsInOrder(const std::vector<std::int32_t>& i, const std::vector<std::int32_t>& q, std::int32_t gain) {
    double sum = 0;
    for (const auto* samples : {&i, &q})
        for (const std::int32_t v : *samples)
            sum += gain == 0 ? static_cast<double>(v) * v
                             : static_cast<double>(v) * v / (static_cast<double>(gain) * gain) * 10000;
    return static_cast<std::int32_t>(std::nearbyint(std::sqrt(sum / static_cast<double>(i.size()))));
}

TEST(Display, TheLevelIsTheRootOfTheSquaresSummedInOrder) {
    struct Case {
        const char* what;
        std::vector<std::int32_t> i, q;
        std::int32_t gain;
    };
    std::mt19937 random(7);
    const auto noise = [&](int n, int amplitude) {
        std::uniform_int_distribution<std::int32_t> sample(-amplitude, amplitude);
        std::vector<std::int32_t> v(static_cast<std::size_t>(n));
        for (auto& x : v) x = sample(random);
        return v;
    };
    std::vector<Case> cases{
        // 96² × 10000 / 128² / 4 = 37.5² exactly: the root is a tie, rounded to the even 38.
        {"a tie", {96, 0, 0, 0}, {0, 0, 0, 0}, 128},
        {"silence", std::vector<std::int32_t>(2048, 0), std::vector<std::int32_t>(2048, 0), 300},
        {"squares past 2^31", noise(2048, 2000000), noise(2048, 2000000), 100},
        {"squares past 2^31, no gain", noise(1024, 2000000), noise(1024, 2000000), 0},
    };
    for (const std::int32_t gain : {0, 100, 137, 2500, 5000})
        for (int round = 0; round < 20; ++round)
            cases.push_back({"noise", noise(2048, 32767), noise(2048, 32767), gain});
    Display d;
    for (const Case& c : cases) EXPECT_EQ(d.roundedRms(c.i, c.q, c.gain), rmsInOrder(c.i, c.q, c.gain)) << c.what;
    EXPECT_EQ(d.roundedRms(cases[0].i, cases[0].q, 128), 38);
}

TEST(Display, OneBlockInEightIsDisplayedAt192000) {
    struct Case {
        int fee, fes, every;
    };
    for (const auto c : {Case{192000, 24000, 8}, Case{96000, 24000, 4}, Case{48000, 12000, 2}, Case{44100, 11025, 2},
                         Case{192000, 192000, 1}, Case{12000, 12000, 1}}) {
        Display d;
        int shown = 0;
        for (int b = 0; b < 64; ++b) shown += d.divideDisplayRate(c.fee, c.fes) ? 1 : 0;
        EXPECT_EQ(shown, 64 / c.every) << c.fee;
    }
}

TEST(Display, AToneLightsTheColumnOfItsFrequency) {
    // Each column samples the spectrum at the centre of its slot, interpolating between
    // the two nearest bins; a tone at a column's frequency lights that column (on the
    // negative side, the mirrored column W − x).
    for (const int column : {500, 535, 700}) {
        for (const int sign : {1, -1}) {
            const double hz = sign * static_cast<double>(((column - 390) * 2 * 24000 + 24000) / 778);
            Display d;
            d.initDisplay(48000, nullptr);
            d.initTransform(48000, 2048);
            std::vector<std::int32_t> i(2048);
            std::vector<std::int32_t> q(2048);
            for (int b = 0; b < 20; ++b) {
                for (std::size_t t = 0; t < 2048; ++t) {
                    const double p = 2 * M_PI * hz * static_cast<double>(t + 2048 * static_cast<std::size_t>(b)) / 48000;
                    // Small enough that no column reaches the 3000 ceiling.
                    i[t] = static_cast<std::int32_t>(std::lround(20 * std::cos(p)));
                    q[t] = static_cast<std::int32_t>(std::lround(20 * std::sin(p)));
                }
                d.updateDisplay(i, q, 48000, 48000, 100, false, nullptr);
            }
            const auto line = d.line();
            const auto peak = std::max_element(line.begin() + 1, line.end()) - line.begin();
            EXPECT_EQ(peak, sign > 0 ? column : 780 - column) << hz;
            EXPECT_GT(line[static_cast<std::size_t>(peak)], 50) << hz;
        }
    }
}

}  // namespace
}  // namespace orv
