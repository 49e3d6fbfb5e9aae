#include <gtest/gtest.h>

#include <vector>

#include "support/station_fixture.hpp"

namespace orv::test {
namespace {

using Call = ScriptedWaveApi::Call;
constexpr auto kCapture = WaveDirection::Capture;
constexpr auto kPlayback = WaveDirection::Playback;

TEST(MainCycle, FirstTickAfterInitialisationOpensBothDevices) {
    StationFixture f;
    f.startReceiving();
    EXPECT_TRUE(f.wave.isOpen(kCapture));
    EXPECT_TRUE(f.wave.isOpen(kPlayback));
    EXPECT_EQ(f.wave.openedFormat[0].channels, 2);
    EXPECT_EQ(f.wave.openedFormat[0].samplesPerSecond, 44100);
    EXPECT_EQ(f.wave.openedFormat[1].channels, 1);
    EXPECT_EQ(f.wave.openedFormat[1].samplesPerSecond, 11025);
    EXPECT_EQ(f.s().captureBufferBytes, 8816);
    EXPECT_EQ(f.s().outBufferBytes, 1102);
    EXPECT_EQ(f.wave.queuedCaptureBuffers(), 2u);
    EXPECT_EQ(f.wave.pendingPlaybackBuffers(), 2u);
    EXPECT_TRUE(f.s().processingRunning);
    EXPECT_EQ(f.view.focus, "Button2");
    // 2.3 buffers of silence wait behind the two primed buffers.
    EXPECT_EQ(f.s().speaker.samples(), 23u * 551 / 10);
}

TEST(MainCycle, NothingOpensBeforeReceiveInitialisation) {
    StationFixture f;
    f.station->startUp();
    f.tick();
    EXPECT_FALSE(f.wave.isOpen(kCapture));
    EXPECT_FALSE(f.s().processingRunning);
}

TEST(MainCycle, ThreePendingCompletionsAreCollectedInTheOrderOneTwoOne) {
    StationFixture f;
    f.startReceiving();
    std::vector<std::string> labels;
    f.station->controls().setListener([&](const std::string& name, const Control& c) {
        if (name == "Label_RX") labels.push_back(c.text);
    });
    f.wave.completeCapture(0x11);  // buffer 1
    f.wave.completeCapture(0x22);  // buffer 2
    // The device fills buffer 1 again as soon as it is re-queued during the poll.
    f.wave.afterAdd = [&, done = false](WaveHeader&) mutable {
        if (done) return;
        done = true;
        f.wave.completeCapture(0x33);
    };
    f.tick();
    EXPECT_EQ(labels, (std::vector<std::string>{"1", "2", "1"}));
    EXPECT_EQ(f.s().captureCount, 3);
    EXPECT_EQ(f.s().lastCaptureBuffer, 1);
    // The history keeps the two most recent buffers, oldest first.
    const auto& history = f.s().captureHistory;
    ASSERT_EQ(history.length(), 2u * 8816);
    EXPECT_EQ(history[0], 0x22);
    EXPECT_EQ(history[8816], 0x33);
    // 3 × 2204 frames: three blocks processed, the rest waits in the backlog.
    EXPECT_EQ(f.station->display().blocksSeen(), 3);
    EXPECT_EQ(f.s().rxBacklog.length(), (3u * 2204 - 3 * 2048) * 4);
}

TEST(MainCycle, BufferWhoseFourAddsFailIsRequeuedLaterAndItsStaleDataDropped) {
    StationFixture f;
    f.startReceiving();
    const int addsAtOpen = f.wave.count(kCapture, Call::AddBuffer);
    f.wave.completeCapture(0x11);
    f.wave.failNext(kCapture, Call::AddBuffer, 11, 4);
    const auto before = f.clock.nowMs();
    f.tick();
    EXPECT_EQ(f.clock.nowMs() - before, 10 + 3);  // three 1 ms waits between attempts
    // Four failed attempts leave it unqueued and unprocessed; the poll's third look
    // finds it still full and unqueued, queues it again and drops its stale contents.
    EXPECT_EQ(f.wave.count(kCapture, Call::AddBuffer), addsAtOpen + 5);
    EXPECT_TRUE(f.s().captureSlot(1).queued);
    EXPECT_FALSE(f.s().captureSlot(1).ready);
    EXPECT_EQ(f.s().captureCount, 1);
    EXPECT_EQ(f.s().captureHistory.length(), 8816u);

    // Capture goes on in the order the device fills: buffer 2, then buffer 1.
    f.wave.completeCapture(0x22);
    f.wave.completeCapture(0x44);
    f.tick();
    EXPECT_EQ(f.s().captureCount, 3);
    EXPECT_EQ(f.s().captureHistory[0], 0x22);
    EXPECT_EQ(f.s().captureHistory[8816], 0x44);
}

TEST(MainCycle, TwoCompletionsAtALateTickAreCollectedOldestFirst) {
    StationFixture f;
    f.startReceiving();
    f.wave.completeCapture(0x11);  // buffer 1
    f.tick();
    f.wave.completeCapture(0x22);  // buffer 2, then buffer 1 again, before the next tick
    f.wave.completeCapture(0x33);
    f.tick();
    EXPECT_EQ(f.s().captureCount, 3);
    EXPECT_EQ(f.s().captureHistory[0], 0x22);
    EXPECT_EQ(f.s().captureHistory[8816], 0x33);
}

struct RegulationCase {
    std::size_t queued, expected;
};

TEST(MainCycle, AfterADoubleCompletionTheSpeakerQueueIsHeldBetween170And250Percent) {
    // One buffer is 551 samples: 250 % is 1377, 170 % is 936.
    constexpr RegulationCase kCases[] = {{1653, 1377}, {551, 936}, {0, 936}, {1000, 1000}, {1378, 1378}, {936, 936}};
    for (const auto& c : kCases) {
        StationFixture f;
        f.startReceiving();
        f.s().speaker.clear();
        f.s().speaker.appendSilence(c.queued);
        f.s().lastCaptureBuffer = 2;
        f.s().lastSeenCaptureBuffer = 2;
        f.station->processCapturedBuffer(2);
        EXPECT_EQ(f.s().speaker.samples(), c.expected) << c.queued;
        EXPECT_EQ(f.s().speaker.low.length(), f.s().speaker.high.length());
    }
}

TEST(MainCycle, NormalAlternationHidesTheCaptureProblemIndicator) {
    StationFixture f;
    f.startReceiving();
    f.station->controls().setVisible("detecte_PC_pb_RX", true);
    f.wave.completeCapture(0x01);
    f.tick();
    EXPECT_FALSE(f.station->controls().get("detecte_PC_pb_RX").visible);
    EXPECT_EQ(f.s().lastSeenCaptureBuffer, 1);
}

TEST(MainCycle, BacklogOfOverOneSecondIsCutByOneSecond) {
    StationFixture f;
    f.startReceiving();
    // Leave 44100 + 100 frames after whole blocks: the cut leaves 100 frames.
    f.s().rxBacklog.appendRepeated(0, (44100 + 100) * 4);
    f.station->cutBlocks();
    const std::size_t frames = 44100 + 100;
    const std::size_t afterBlocks = frames % 2048;
    EXPECT_EQ(f.s().rxBacklog.length(), afterBlocks * 4);  // under a second after the blocks: kept
    f.s().rxBacklog.clear();
    f.s().blockLength = 1 << 20;  // no whole block, so the raw cut shows
    f.s().rxBacklog.appendRepeated(0, frames * 4);
    f.station->cutBlocks();
    EXPECT_EQ(f.s().rxBacklog.length(), 100u * 4);
}

TEST(MainCycle, SteadyReceivePlaysWholeBuffersInOrderAndKeepsTheQueueBounded) {
    StationFixture f;
    f.startReceiving();
    // One capture and one playback completion every 50 ms for ten seconds.
    for (int tick = 1; tick <= 1000; ++tick) {
        if (tick % 5 == 0) {
            f.wave.completeCapture(0x00);
            f.wave.finishPlayback();
        }
        f.tick();
        ASSERT_LE(f.s().speaker.samples(), 551u * 4) << "tick " << tick;
    }
    EXPECT_EQ(f.wave.played.size() % 1102, 0u);
    EXPECT_GE(f.wave.played.size(), 190u * 1102);
    EXPECT_TRUE(f.view.messages.empty());
    EXPECT_EQ(f.station->controls().get("Niveau_local").text, "Local:   0.0 % / Ratio=   0.0 %");
}

TEST(MainCycle, ANestedCycleFromAModalMessageDoesNotTouchTheBufferBeingFilled) {
    StationFixture f;
    f.startReceiving();
    f.wave.finishPlayback();
    f.wave.finishPlayback();
    f.s().speaker.appendSilence(2 * 551);
    f.wave.failNext(kPlayback, Call::Write, 11);
    int writesInNestedCycle = -1;
    f.view.whileOpen = [&] {
        const int before = f.wave.count(kPlayback, Call::Write);
        f.station->mainCycle();
        writesInNestedCycle = f.wave.count(kPlayback, Call::Write) - before;
    };
    f.tick();
    ASSERT_EQ(f.view.messages.size(), 1u);
    EXPECT_EQ(f.view.messages[0].text, "Error when writing datas.11");
    EXPECT_EQ(writesInNestedCycle, 0);
    EXPECT_FALSE(f.s().anyOutputFilling());
}

struct ReleaseCase {
    int latency, delayMs;
};

TEST(MainCycle, PttReleaseDelayEndsTheVoiceTransmission) {
    for (const auto& c : {ReleaseCase{2, 250}, ReleaseCase{20, 2050}}) {
        StationFixture f;
        f.s().latencySetting = c.latency;
        f.s().txInProgress = true;
        f.station->controls().setDown("transmission_phonie", true);
        f.s().pttReleaseWaiting = true;
        f.s().pttReleaseTimeMs = f.clock.nowMs();
        f.clock.advance(c.delayMs - 1);
        f.station->timer1();
        EXPECT_TRUE(f.s().txInProgress) << c.latency;
        f.clock.advance(1);
        f.station->timer1();
        EXPECT_FALSE(f.s().txInProgress) << c.latency;
        EXPECT_FALSE(f.s().pttReleaseWaiting);
        EXPECT_FALSE(f.station->controls().get("transmission_phonie").down);
        EXPECT_TRUE(f.s().startRequested);  // back to receive at the next tick
    }
}

TEST(MainCycle, PttInputIsNotReadWhileTuneIsDownOrALinkClientIsConnected) {
    StationFixture f;
    f.s().pttInputPort = true;
    f.s().pttInputState = true;  // as read from the line
    f.station->controls().setDown("Transmission_tune", true);
    f.station->timer1();
    EXPECT_FALSE(f.s().pttInputPrevious);
    f.station->controls().setDown("Transmission_tune", false);
    f.s().linkClientConnected = true;
    f.station->timer1();
    EXPECT_FALSE(f.s().pttInputPrevious);
    f.s().linkClientConnected = false;
    f.station->timer1();
    EXPECT_TRUE(f.s().pttInputPrevious);
}

TEST(MainCycle, PttInputActivationDuringATransmissionEndsItAfterTheDelay) {
    StationFixture f;
    f.s().pttInputPort = true;
    f.s().txInProgress = true;
    f.station->controls().setDown("transmission_phonie", true);
    f.s().pttInputState = true;
    f.station->timer1();
    EXPECT_TRUE(f.s().pttReleaseWaiting);
    f.clock.advance(250);
    f.station->timer1();
    EXPECT_FALSE(f.s().txInProgress);
}

TEST(MainCycle, LinkTransmissionEndsOnWholeBuffersThenReturnsToReceive) {
    StationFixture f;
    f.startReceiving();
    f.station->stopAllSound();
    f.s().txInProgress = true;
    f.s().receiveActive = false;
    f.s().outBufferBytes = 4000;  // q = 1000 frames
    f.s().tx.appendSilence(2500);
    f.s().linkTxEndRequested = true;
    f.station->timer1();
    EXPECT_TRUE(f.s().txEndPadded);
    EXPECT_EQ(f.s().tx.frames(), 5000u);

    f.s().tx.clear();  // the card has played it all
    f.station->timer1();
    EXPECT_FALSE(f.s().txInProgress);
    EXPECT_TRUE(f.s().receiveActive);
    EXPECT_FALSE(f.s().linkTxEndRequested);
    EXPECT_FALSE(f.s().txEndPadded);
    f.station->timer1();
    EXPECT_TRUE(f.wave.isOpen(kCapture));
    EXPECT_TRUE(f.s().processingRunning);
}

TEST(MainCycle, RestartReopensTheDevicesOnTheNextTickWithTheNewSizes) {
    StationFixture f;
    f.startReceiving();
    f.s().latencySetting = 20;
    f.station->stopAllSound();
    f.station->resetReceiveState();
    EXPECT_FALSE(f.wave.isOpen(kCapture));
    EXPECT_FALSE(f.wave.isOpen(kPlayback));
    EXPECT_FALSE(f.s().processingRunning);
    f.tick();
    EXPECT_TRUE(f.wave.isOpen(kCapture));
    EXPECT_EQ(f.s().captureBufferBytes, 88192);
    EXPECT_EQ(f.s().outBufferBytes, 11024);
    EXPECT_EQ(f.station->engine().captureHeader(1).data.size(), 88192u);
    EXPECT_EQ(f.station->engine().playbackHeader(2).data.size(), 11024u);
    EXPECT_EQ(f.s().lastSeenCaptureBuffer, 20);
    EXPECT_EQ(f.s().captureCount, 0);
}

}  // namespace
}  // namespace orv::test
