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
    EXPECT_EQ(f.sizes().captureBufferBytes, 8816);
    EXPECT_EQ(f.sizes().outBufferBytes, 1102);
    EXPECT_EQ(f.wave.queuedCaptureBuffers(), 2u);
    EXPECT_EQ(f.wave.pendingPlaybackBuffers(), 2u);
    EXPECT_TRUE(f.flags().processingRunning);
    EXPECT_EQ(f.view.focus, "Button2");
    // 2.3 buffers of silence wait behind the two primed buffers.
    EXPECT_EQ(f.engine().speakerQueue().size(), 23u * 551 / 10);
}

TEST(MainCycle, NothingOpensBeforeReceiveInitialisation) {
    StationFixture f;
    f.station->startUp();
    f.tick();
    EXPECT_FALSE(f.wave.isOpen(kCapture));
    EXPECT_FALSE(f.flags().processingRunning);
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
    EXPECT_EQ(f.engine().captureCount(), 3);
    EXPECT_EQ(f.engine().lastCaptureBuffer(), 1);
    // 3 × 2204 frames: three blocks processed, the rest of the newest buffer waits in the
    // backlog.
    EXPECT_EQ(f.station->display().blocksSeen(), 3);
    const auto& backlog = f.engine().rxBacklog();
    ASSERT_EQ(backlog.size(), (3u * 2204 - 3 * 2048) * 2);
    EXPECT_EQ(backlog[0], 0x3333);
    EXPECT_EQ(backlog[backlog.size() - 1], 0x3333);
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
    EXPECT_TRUE(f.engine().captureSlot(1).queued);
    EXPECT_FALSE(f.engine().captureSlot(1).ready);
    EXPECT_EQ(f.engine().captureCount(), 1);
    EXPECT_EQ(f.station->display().blocksSeen(), 0);

    // Capture goes on in the order the device fills: buffer 2, then buffer 1; the tail of
    // the newest is what waits after the blocks.
    f.wave.completeCapture(0x22);
    f.wave.completeCapture(0x44);
    f.tick();
    EXPECT_EQ(f.engine().captureCount(), 3);
    EXPECT_EQ(f.station->display().blocksSeen(), 3);
    EXPECT_EQ(f.engine().rxBacklog()[0], 0x4444);
}

TEST(MainCycle, TwoCompletionsAtALateTickAreCollectedOldestFirst) {
    StationFixture f;
    f.startReceiving();
    f.wave.completeCapture(0x11);  // buffer 1
    f.tick();
    f.wave.completeCapture(0x22);  // buffer 2, then buffer 1 again, before the next tick
    f.wave.completeCapture(0x33);
    f.tick();
    EXPECT_EQ(f.engine().captureCount(), 3);
    // 3 × 2204 frames make three blocks; what waits is the newest buffer's tail.
    const auto& backlog = f.engine().rxBacklog();
    ASSERT_EQ(backlog.size(), (3u * 2204 - 3 * 2048) * 2);
    EXPECT_EQ(backlog[0], 0x3333);
}

TEST(MainCycle, NormalAlternationHidesTheCaptureProblemIndicator) {
    StationFixture f;
    f.startReceiving();
    f.station->controls().setVisible("detecte_PC_pb_RX", true);
    f.wave.completeCapture(0x01);
    f.tick();
    EXPECT_FALSE(f.station->controls().get("detecte_PC_pb_RX").visible);
    EXPECT_EQ(f.engine().lastSeenCaptureBuffer(), 1);
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
        ASSERT_LE(f.engine().speakerQueue().size(), 551u * 4) << "tick " << tick;
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
    f.wave.failNext(kPlayback, Call::Write, 11);
    int writesInNestedCycle = -1;
    f.view.whileOpen = [&] {
        const int before = f.wave.count(kPlayback, Call::Write);
        f.station->timer1();
        writesInNestedCycle = f.wave.count(kPlayback, Call::Write) - before;
    };
    f.tick();
    ASSERT_EQ(f.view.messages.size(), 1u);
    EXPECT_EQ(f.view.messages[0].text, "Error when writing datas.11");
    EXPECT_EQ(writesInNestedCycle, 0);
    EXPECT_FALSE(f.engine().anyOutputFilling());
}

TEST(MainCycle, ARestartReopensTheDevicesOnTheNextTickWithFreshHandOver) {
    StationFixture f;
    f.files = filesWithTestSettings(20);
    f.startReceiving();
    EXPECT_EQ(f.sizes().captureBufferBytes, 88192);
    EXPECT_EQ(f.sizes().outBufferBytes, 11024);
    EXPECT_EQ(f.engine().captureHeader(1).data.size(), 88192u);
    EXPECT_EQ(f.engine().playbackHeader(2).data.size(), 11024u);
    f.wave.completeCapture(0x01);
    f.tick();
    ASSERT_EQ(f.engine().captureCount(), 1);
    f.station->soundMenus().feRegulatedClick(true);  // restarts a running receiver
    EXPECT_FALSE(f.wave.isOpen(kCapture));
    EXPECT_FALSE(f.wave.isOpen(kPlayback));
    EXPECT_FALSE(f.flags().processingRunning);
    f.tick();
    EXPECT_TRUE(f.wave.isOpen(kCapture));
    EXPECT_TRUE(f.flags().processingRunning);
    EXPECT_EQ(f.engine().lastSeenCaptureBuffer(), 20);
    EXPECT_EQ(f.engine().captureCount(), 0);
}

}  // namespace
}  // namespace orv::test
