#include <gtest/gtest.h>

#include <cstdio>

#include "support/station_fixture.hpp"

namespace orv::test {
namespace {

TEST(Monitors, AStalledCaptureIsToldOncePerFiringAndTheDevicesReopen) {
    StationFixture f;
    f.startReceiving();
    f.wave.completeCapture(0x00);
    f.tick();
    f.station->timer2();  // capture went on
    EXPECT_TRUE(f.view.messages.empty());
    const int opens = f.wave.count(WaveDirection::Capture, ScriptedWaveApi::Call::Open);
    f.clock.advance(1100);
    f.station->timer2();  // nothing completed since
    ASSERT_EQ(f.view.messages.size(), 1u);
    EXPECT_EQ(f.view.messages[0].text, "Increase the latency time which is too short.");
    EXPECT_TRUE(f.controls().get("detecte_PC_pb_RX").visible);
    EXPECT_FALSE(f.flags().processingRunning);
    f.tick();
    EXPECT_TRUE(f.flags().processingRunning);
    EXPECT_GT(f.wave.count(WaveDirection::Capture, ScriptedWaveApi::Call::Open), opens);
    f.station->timer2();  // the restart counts as a new start
    EXPECT_EQ(f.view.messages.size(), 1u);
    f.station->timer2();  // and then still nothing: told again
    EXPECT_EQ(f.view.messages.size(), 2u);
}

TEST(Monitors, WithoutARefillThePeriodChangesNothing) {
    StationFixture f;
    f.startReceiving();
    f.controls().setText("Label_Fe_regulee", "kept");
    f.station->timer3();
    EXPECT_EQ(f.controls().get("Label_Fe_regulee").text, "kept");
    EXPECT_EQ(f.station->receiveChain().resampleRatio(), 10000);
}

TEST(Monitors, ARegulationPeriodShowsTheFillAndTheRate) {
    StationFixture f;
    f.startReceiving();
    for (int k = 0; k < 30; ++k) {
        if (k % 5 == 0) {
            f.wave.completeCapture(0x00);
            f.wave.finishPlayback();
        }
        f.tick();
    }
    ASSERT_GT(f.engine().refillCount(), 0);
    f.station->timer3();
    const std::string label = f.controls().get("Label_Fe_regulee").text;
    EXPECT_NE(label.find(" % / 110"), std::string::npos) << label;
    EXPECT_EQ(f.engine().refillCount(), 0);
}

TEST(Monitors, TheDriftOfTheCardsIsShownAfterAMinuteAndSaidAgainOnlyWhenItMoves) {
    StationFixture f;
    f.startReceiving();
    // Both cards complete a buffer every 50 ms: the drift is what their sizes make of it.
    const BufferSizes& sizes = f.engine().sizes();
    const double speakerSeconds = (sizes.outBufferBytes / 2) / static_cast<double>(sizes.fes());
    const double captureSeconds =
        (sizes.captureBufferBytes / sizes.captureFrameBytes()) / static_cast<double>(sizes.captureRate);
    char figure[32];
    std::snprintf(figure, sizeof figure, "%+.0f ppm", (speakerSeconds / captureSeconds - 1) * 1e6);
    for (int k = 1; k <= 9000; ++k) {  // 90 s
        if (k % 5 == 0) {
            f.wave.completeCapture(0x00);
            f.wave.finishPlayback();
        }
        f.tick();
        if (k % 300 == 0) f.station->timer3();
        if (k == 5700) {  // 57 s: not a minute of sightings yet
            EXPECT_EQ(f.controls().get("Label_Fe_regulee").hint, "");
            EXPECT_FALSE(f.station->monitors().driftPpm());
        }
    }
    EXPECT_EQ(f.controls().get("Label_Fe_regulee").hint,
              std::string("Clock drift of the speaker card against the receive card: ") + figure);
    // Said once: it has not moved since.
    ASSERT_EQ(f.view.statusLines.size(), 1u);
    EXPECT_EQ(f.view.statusLines[0], std::string("Clock drift, speaker card against receive card: ") + figure);
}

TEST(Monitors, TheLatencyChangeReopensTheDevicesWithTheNewSizes) {
    StationFixture f;
    f.startReceiving();
    f.station->monitors().latencyChange(20);
    EXPECT_FALSE(f.wave.isOpen(WaveDirection::Capture));
    f.tick();
    EXPECT_EQ(f.sizes().captureBufferBytes, 88192);
    EXPECT_EQ(f.sizes().outBufferBytes, 11024);
    EXPECT_FALSE(f.flags().retuneOnOpen);
}

TEST(Monitors, TheProcessorLoadShowsTheMeanOfTwoReadingsOrNothingWithoutASource) {
    StationFixture f;
    f.startReceiving();
    f.load.readings = {0, 40, 60};
    f.station->monitors().cpuMeterClick(true);
    f.station->timer2();
    EXPECT_EQ(f.controls().get("Label_CPU").text, "CPU: 20 %");
    f.station->timer2();
    EXPECT_EQ(f.controls().get("Label_CPU").text, "CPU: 50 %");
    f.station->monitors().cpuMeterClick(false);
    EXPECT_EQ(f.controls().get("Label_CPU").text, "");

    StationFixture none;
    none.startReceiving();
    none.load.available = false;
    none.station->monitors().cpuMeterClick(true);
    none.station->timer2();
    EXPECT_EQ(none.controls().get("Label_CPU").text, "");
}

}  // namespace
}  // namespace orv::test
