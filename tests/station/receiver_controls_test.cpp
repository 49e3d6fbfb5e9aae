#include <gtest/gtest.h>

#include "display/tuning.hpp"
#include "support/station_fixture.hpp"

namespace orv::test {
namespace {

// A station receiving at 44100 (USB, 3300 Hz), its first open done.
struct Tuned : StationFixture {
    Tuned() { startReceiving(); }
};

TEST(Tuning, AClickBeyondTheRangeIsClampedToIt) {
    Tuned f;
    f.station->receiver().spectrumMouseDown(779);  // asks for 22000
    EXPECT_EQ(f.tuning().offsetHz(), 22000);
    EXPECT_EQ(f.station->controls().get("Label_frequence").text, "18700 Hz");
    EXPECT_EQ(f.rx().rxMixFrequencyHz, -18700);
    EXPECT_EQ(f.station->controls().get("Image_limite_gauche").position, hzToPixel(18700, 22000));
    EXPECT_EQ(f.station->controls().get("Image_limite_droite").position, 779);
    f.station->receiver().spectrumMouseDown(0);
    EXPECT_EQ(f.tuning().offsetHz(), -22000);
    EXPECT_EQ(f.station->controls().get("Label_frequence").text, "-22000 Hz");
}

TEST(Tuning, TheHfReadoutAddsTheCentreFrequency) {
    Tuned f;
    f.station->settings().centreFrequencyChange("7020000");
    f.station->receiver().setTuneOffset(0);
    EXPECT_EQ(f.station->controls().get("FREQUENCE_USB").text, "  7 020.000");
    EXPECT_FALSE(f.station->controls().get("FREQUENCE_LSB").visible);
}

TEST(Tuning, LsbAtTheBottomOfItsRangePutsTheLowerMarkerOnTheEdge) {
    Tuned f;
    f.station->receiver().modeClick(Mode::Lsb);
    f.station->receiver().setTuneOffset(-22000);  // clamped to 3300 − 22000
    EXPECT_EQ(f.station->controls().get("Label_frequence").text, "-18700 Hz");
    EXPECT_EQ(f.station->controls().get("Image_limite_gauche").position, 0);
    EXPECT_EQ(f.rx().rxMixFrequencyHz, 18700);
}

TEST(Tuning, TheCwBandsShowTheLowCutMarker) {
    Tuned f;
    f.station->receiver().bandClick("Bande_550_850");
    f.station->receiver().setTuneOffset(1000);
    EXPECT_TRUE(f.station->controls().get("Image_limite_gauche_gauche").visible);
    EXPECT_EQ(f.station->controls().get("Image_limite_gauche_gauche").position, hzToPixel(1550, 22000));
    f.station->receiver().bandClick("Bande_2700");
    EXPECT_FALSE(f.station->controls().get("Image_limite_gauche_gauche").visible);
}

TEST(Tuning, WheelNotchesCloserThan10MsCountOnce) {
    Tuned f;
    f.station->receiver().setTuneOffset(1000);
    f.clock.advance(100);
    f.station->receiver().mouseWheel(1);
    f.clock.advance(5);
    f.station->receiver().mouseWheel(1);
    EXPECT_EQ(f.tuning().offsetHz(), 1100);
    f.clock.advance(10);
    f.station->receiver().mouseWheel(-1);
    EXPECT_EQ(f.tuning().offsetHz(), 1000);
    // Limited to the control's range.
    f.station->receiver().setTuneOffset(18690);
    f.clock.advance(20);
    f.station->receiver().mouseWheel(1);
    EXPECT_EQ(f.tuning().offsetHz(), 18700);
}

TEST(Tuning, AFixedFrequencyIgnoresClicksWheelAndSweepAndSurvivesAModeChange) {
    Tuned f;
    f.station->receiver().setTuneOffset(2000);
    f.station->receiver().fixedFrequencyClick(true);
    EXPECT_FALSE(f.station->controls().get("REGLAGE_FREQUENCE").enabled);
    f.station->receiver().spectrumMouseDown(100);
    f.station->receiver().sweepClick(true);
    f.station->receiver().spectrumMouseMove(700);
    f.clock.advance(50);
    f.station->receiver().mouseWheel(1);
    EXPECT_EQ(f.station->controls().get("Label_frequence").text, "2000 Hz");
    f.station->receiver().modeClick(Mode::Lsb);
    EXPECT_EQ(f.station->controls().get("Label_frequence").text, "2000 Hz");
    f.station->receiver().fixedFrequencyClick(false);
    f.station->receiver().spectrumMouseMove(700);  // sweep: the pointer alone tunes
    EXPECT_EQ(f.tuning().offsetHz(), pixelToHz(700, 22000));
}

TEST(Tuning, TheUpDownControlRunsTheCycleAroundTheChange) {
    Tuned f;
    f.station->receiver().tuningControlClick(123);
    EXPECT_EQ(f.tuning().offsetHz(), 1230);
    EXPECT_EQ(f.station->controls().get("REGLAGE_FREQUENCE").position, 123);
}

TEST(Tuning, TheFirstOpenKeepsTheStoredOffsetLaterOnesTuneToTheMiddle) {
    StationFixture f;
    f.station->startUp();
    f.station->receiver().setTuneOffset(5000);
    f.station->initReceive();
    f.tick();
    EXPECT_EQ(f.station->controls().get("Label_frequence").text, "5000 Hz");
    f.station->soundMenus().cardItemClick("Carte_son1_RX");  // a new card restarts the receiver
    f.tick();
    // Column 389 of 780 lies just below the centre.
    EXPECT_EQ(f.tuning().offsetHz(), pixelToHz(389, 22000));
    EXPECT_EQ(f.station->controls().get("REGLAGE_FREQUENCE").maximum, 18700 / 10);
    EXPECT_EQ(f.station->controls().get("REGLAGE_FREQUENCE").minimum, -22000 / 10);
}

TEST(Tuning, TheMaxBandStillLeavesARangeAtTheLowRates) {
    StationFixture f;
    f.startReceiving();
    f.station->soundMenus().rateItemClick("Fe_12000");
    f.station->receiver().bandClick("Bande_max");
    // The passband is cut at Fes / 2 = 6000, so USB can tune from −6000 to 0.
    EXPECT_EQ(f.tuning().minOffsetHz(), -6000);
    EXPECT_EQ(f.tuning().maxOffsetHz(), 0);
    f.station->receiver().setTuneOffset(-3000);
    EXPECT_EQ(f.station->controls().get("Label_frequence").text, "-3000 Hz");
}

TEST(DisplayButtons, SetTheirFlagsAndTheHistoryMemo) {
    Tuned f;
    f.station->receiver().spectrumAgcClick(false);
    f.station->receiver().greyWaterfallClick(true);
    f.station->receiver().historyClick(true);
    EXPECT_FALSE(f.rx().spectrumAgcOn);
    EXPECT_TRUE(f.station->display().grey());
    EXPECT_TRUE(f.station->controls().get("Memo_Versions").visible);
    f.station->receiver().historyClick(false);
    EXPECT_FALSE(f.station->controls().get("Memo_Versions").visible);
    f.station->receiver().otherFrequenciesClick();
    EXPECT_EQ(f.view.frequencyMemoryOpened, 1);
}

}  // namespace
}  // namespace orv::test
