#include <gtest/gtest.h>

#include "display/tuning.hpp"
#include "support/station_fixture.hpp"

namespace orv::test {
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

// A station receiving at 44100 (USB, 3300 Hz), its first open done.
struct Tuned : StationFixture {
    Tuned() { startReceiving(); }
};

TEST(Tuning, AClickBeyondTheRangeIsClampedToIt) {
    Tuned f;
    f.station->spectrumMouseDown(779);  // asks for 22000
    EXPECT_EQ(f.s().tuneOffsetHz, 22000);
    EXPECT_EQ(f.station->controls().get("Label_frequence").text, "18700 Hz");
    EXPECT_EQ(f.s().rxMixFrequencyHz, -18700);
    EXPECT_EQ(f.station->controls().get("Image_limite_gauche").position, hzToPixel(18700, 22000));
    EXPECT_EQ(f.station->controls().get("Image_limite_droite").position, 779);
    f.station->spectrumMouseDown(0);
    EXPECT_EQ(f.s().tuneOffsetHz, -22000);
    EXPECT_EQ(f.station->controls().get("Label_frequence").text, "-22000 Hz");
}

TEST(Tuning, TheHfReadoutAddsTheCentreFrequency) {
    Tuned f;
    f.station->centreFrequencyChange("7020000");
    f.station->setTuneOffset(0);
    EXPECT_EQ(f.station->controls().get("FREQUENCE_USB").text, "  7 020.000");
    EXPECT_FALSE(f.station->controls().get("FREQUENCE_LSB").visible);
}

TEST(Tuning, LsbAtTheBottomOfItsRangePutsTheLowerMarkerOnTheEdge) {
    Tuned f;
    f.station->modeClick(2);
    f.station->setTuneOffset(-22000);  // clamped to 3300 − 22000
    EXPECT_EQ(f.station->controls().get("Label_frequence").text, "-18700 Hz");
    EXPECT_EQ(f.station->controls().get("Image_limite_gauche").position, 0);
    EXPECT_EQ(f.s().rxMixFrequencyHz, 18700);
}

TEST(Tuning, TheCwBandsShowTheLowCutMarker) {
    Tuned f;
    f.station->bandClick("Bande_550_850");
    f.station->setTuneOffset(1000);
    EXPECT_TRUE(f.station->controls().get("Image_limite_gauche_gauche").visible);
    EXPECT_EQ(f.station->controls().get("Image_limite_gauche_gauche").position, hzToPixel(1550, 22000));
    f.station->bandClick("Bande_2700");
    EXPECT_FALSE(f.station->controls().get("Image_limite_gauche_gauche").visible);
}

TEST(Tuning, WheelNotchesCloserThan10MsCountOnce) {
    Tuned f;
    f.station->setTuneOffset(1000);
    f.clock.advance(100);
    f.station->mouseWheel(1);
    f.clock.advance(5);
    f.station->mouseWheel(1);
    EXPECT_EQ(f.s().tuneOffsetHz, 1100);
    f.clock.advance(10);
    f.station->mouseWheel(-1);
    EXPECT_EQ(f.s().tuneOffsetHz, 1000);
    // Limited to the control's range.
    f.station->setTuneOffset(18690);
    f.clock.advance(20);
    f.station->mouseWheel(1);
    EXPECT_EQ(f.s().tuneOffsetHz, 18700);
}

TEST(Tuning, AFixedFrequencyIgnoresClicksWheelAndSweepAndSurvivesAModeChange) {
    Tuned f;
    f.station->setTuneOffset(2000);
    f.station->fixedFrequencyClick(true);
    EXPECT_FALSE(f.station->controls().get("REGLAGE_FREQUENCE").enabled);
    f.station->spectrumMouseDown(100);
    f.station->sweepClick(true);
    f.station->spectrumMouseMove(700);
    f.clock.advance(50);
    f.station->mouseWheel(1);
    EXPECT_EQ(f.station->controls().get("Label_frequence").text, "2000 Hz");
    f.station->modeClick(2);
    EXPECT_EQ(f.station->controls().get("Label_frequence").text, "2000 Hz");
    f.station->fixedFrequencyClick(false);
    f.station->spectrumMouseMove(700);  // sweep: the pointer alone tunes
    EXPECT_EQ(f.s().tuneOffsetHz, pixelToHz(700, 22000));
}

TEST(Tuning, TheUpDownControlRunsTheCycleAroundTheChange) {
    Tuned f;
    f.station->tuningControlClick(123);
    EXPECT_EQ(f.s().tuneOffsetHz, 1230);
    EXPECT_EQ(f.station->controls().get("REGLAGE_FREQUENCE").position, 123);
}

TEST(Tuning, TheFirstOpenKeepsTheStoredOffsetLaterOnesTuneToTheMiddle) {
    StationFixture f;
    f.station->startUp();
    f.s().tuneOffsetHz = 5000;
    f.station->initReceive();
    f.tick();
    EXPECT_EQ(f.station->controls().get("Label_frequence").text, "5000 Hz");
    f.station->stopAllSound();
    f.station->resetReceiveState();
    f.tick();
    // Column 389 of 780 lies just below the centre.
    EXPECT_EQ(f.s().tuneOffsetHz, pixelToHz(389, 22000));
    EXPECT_EQ(f.station->controls().get("REGLAGE_FREQUENCE").maximum, 18700 / 10);
    EXPECT_EQ(f.station->controls().get("REGLAGE_FREQUENCE").minimum, -22000 / 10);
}

TEST(Tuning, TheMaxBandStillLeavesARangeAtTheLowRates) {
    StationFixture f;
    f.startReceiving();
    f.station->rateItemClick("Fe_12000");
    f.station->bandClick("Bande_max");
    // The passband is cut at Fes / 2 = 6000, so USB can tune from −6000 to 0.
    EXPECT_EQ(f.s().minOffsetHz, -6000);
    EXPECT_EQ(f.s().maxOffsetHz, 0);
    f.station->setTuneOffset(-3000);
    EXPECT_EQ(f.station->controls().get("Label_frequence").text, "-3000 Hz");
}

TEST(DisplayButtons, SetTheirFlagsAndTheHistoryMemo) {
    Tuned f;
    f.station->spectrumAgcClick(false);
    f.station->greyWaterfallClick(true);
    f.station->historyClick(true);
    EXPECT_FALSE(f.s().spectrumAgcOn);
    EXPECT_TRUE(f.s().greyWaterfall);
    EXPECT_TRUE(f.station->controls().get("Memo_Versions").visible);
    f.station->historyClick(false);
    EXPECT_FALSE(f.station->controls().get("Memo_Versions").visible);
    f.station->otherFrequenciesClick();
    EXPECT_EQ(f.view.frequencyMemoryOpened, 1);
}

}  // namespace
}  // namespace orv::test
