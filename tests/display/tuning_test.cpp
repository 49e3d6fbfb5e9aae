#include "display/tuning.hpp"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(PixelsAndHertz, ColumnsMapOntoTheBand) {
    EXPECT_EQ(pixelToHz(779, 22000), 22000);
    EXPECT_EQ(pixelToHz(0, 22000), -22000);
    EXPECT_EQ(hzToPixel(0, 22000), 390);  // 389.5 to even
    EXPECT_EQ(hzToPixel(22000, 22000), 779);
    EXPECT_EQ(hzToPixel(-22000, 22000), 0);
    EXPECT_EQ(hfReadout(0, 7020000), "  7 020.000");
    EXPECT_EQ(hfReadout(-1500, 14250000), " 14 248.500");
}

struct RangeCase {
    Mode mode;
    bool sdr;
    std::int32_t min, max;
};

TEST(Tuning, TheOffsetRangeKeepsThePassbandInsideTheBand) {
    // 48000: half band 24000; passband 0 … 2700.
    constexpr RangeCase kCases[] = {
        {Mode::Usb, true, -24000, 21300}, {Mode::Lsb, true, -21300, 24000},
        {Mode::Am, true, -21300, 21300},  {Mode::Fm, true, -19000, 19000},
        {Mode::BroadcastFm96, true, -24000, 24000}, {Mode::BroadcastFm96, false, 0, 24000},
    };
    for (const auto& c : kCases) {
        Tuning tuning;
        tuning.setBand(0, 2700);
        tuning.computeOffsetRange({c.mode, 48000, 12000, c.sdr});
        EXPECT_EQ(tuning.minOffsetHz(), c.min) << modeNumber(c.mode);
        EXPECT_EQ(tuning.maxOffsetHz(), c.max) << modeNumber(c.mode);
    }
}

TEST(Tuning, ApplyingAnOffsetGivesTheShiftsAndTheMarkers) {
    ControlsModel controls;
    Tuning tuning;
    tuning.setBand(0, 2700);
    const TuningContext usb{Mode::Usb, 48000, 12000, true};
    tuning.computeOffsetRange(usb);
    MixFrequencies mix = tuning.apply(6000, usb, controls);
    EXPECT_EQ(mix.rxHz, -6000);
    EXPECT_EQ(controls.get("Label_frequence").text, "6000 Hz");
    EXPECT_EQ(controls.get("Image_limite_gauche").position, hzToPixel(6000, 24000));
    EXPECT_EQ(controls.get("Image_limite_droite").position, hzToPixel(8700, 24000));

    // LSB shifts the bottom of the passband to 0 Hz: its upper edge is the offset.
    const TuningContext lsb{Mode::Lsb, 48000, 12000, true};
    tuning.computeOffsetRange(lsb);
    mix = tuning.apply(-9000, lsb, controls);
    EXPECT_EQ(mix.rxHz, 9000 + 2700 - 2700);

    // AM puts the carrier on the 7 kHz intermediate frequency.
    const TuningContext am{Mode::Am, 48000, 12000, true};
    tuning.computeOffsetRange(am);
    mix = tuning.apply(5000, am, controls);
    EXPECT_EQ(mix.ifHz, kIfFrequencyHz - 5000);
    EXPECT_TRUE(controls.get("Image_limite_gauche_gauche").visible);
}

TEST(Tuning, AFixedFrequencyHoldsItsOffsetWhateverIsAsked) {
    ControlsModel controls;
    Tuning tuning;
    const TuningContext usb{Mode::Usb, 44100, 11025, true};
    tuning.computeOffsetRange(usb);
    tuning.setOffsetHz(1230);
    tuning.setFixed(true);
    tuning.apply(-5000, usb, controls);
    EXPECT_EQ(controls.get("REGLAGE_FREQUENCE").position, 123);
}

TEST(Tuning, WheelNotchesCloserThanTenMillisecondsAreOne) {
    Tuning tuning;
    EXPECT_TRUE(tuning.takeWheelNotch(100));
    EXPECT_FALSE(tuning.takeWheelNotch(105));
    EXPECT_FALSE(tuning.takeWheelNotch(109));
    EXPECT_TRUE(tuning.takeWheelNotch(110));
}

}  // namespace
}  // namespace orv
