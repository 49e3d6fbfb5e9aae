#include "sound/wave_engine.hpp"

#include <gtest/gtest.h>

#include <functional>

#include "support/fakes.hpp"
#include "support/scripted_wave_api.hpp"
#include "ui/lang_text.hpp"

namespace orv::test {
namespace {

using Call = ScriptedWaveApi::Call;
constexpr auto kCapture = WaveDirection::Capture;
constexpr auto kPlayback = WaveDirection::Playback;

// An engine on the scripted sound system with receive sizes at 44100, latency 2.
struct EngineFixture {
    ScriptedWaveApi wave;
    RecordingView view;
    std::uint8_t language = kEnglish;
    VirtualClock clock;
    ControlsModel controls;
    MessageWindow messages{view, language};
    WaveEngine engine{wave, clock, messages, controls};
    BufferSizes& s = engine.sizes();

    EngineFixture() {
        s.captureRate = 44100;
        s.captureBufferBytes = 8816;
        s.outBufferBytes = 1102;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& m : view.messages) out.push_back(m.text);
        return out;
    }
};

TEST(WaveEngine, OpenCaptureOnTheDefaultCardQueuesBothBuffersAndStarts) {
    EngineFixture f;
    f.engine.openCapture(kDefaultCard);
    EXPECT_EQ(f.wave.openedDevice[0], 0);
    EXPECT_EQ(f.wave.openedFormat[0].channels, 2);
    EXPECT_EQ(f.wave.openedFormat[0].samplesPerSecond, 44100);
    EXPECT_EQ(f.wave.openedFormat[0].blockAlign(), 4);
    EXPECT_EQ(f.wave.openedFormat[0].averageBytesPerSecond(), 176400);
    EXPECT_EQ(f.wave.calls, (std::vector<std::string>{"Open capture", "Prepare capture", "Prepare capture",
                                                      "AddBuffer capture", "AddBuffer capture", "Start capture"}));
    EXPECT_TRUE(f.engine.captureOpened());
    EXPECT_TRUE(f.engine.captureSlot(1).queued && f.engine.captureSlot(2).queued);
    EXPECT_EQ(f.engine.captureHeader(2).data.size(), 8816u);
    EXPECT_TRUE(f.view.messages.empty());
}

TEST(WaveEngine, CaptureThatCannotOpenReportsThePreparesNumber) {
    EngineFixture f;
    f.wave.failNext(kCapture, Call::Open, 2);
    f.engine.openCapture(3);
    ASSERT_FALSE(f.view.messages.empty());
    EXPECT_EQ(f.view.messages[0].title, "Error");
    EXPECT_EQ(f.view.messages[0].text, "Error when preparing sampling header n°:5");
    // Nothing is open, so a later open starts afresh rather than failing to stop it.
    EXPECT_FALSE(f.engine.captureOpened());
    f.engine.openCapture(0);
    EXPECT_TRUE(f.engine.captureOpened());
    EXPECT_TRUE(f.wave.isOpen(kCapture));
}

struct FailureCase {
    WaveDirection dir;
    Call call;
    int skip;  // calls of that kind that succeed first
    const char* english;
    const char* french;
};

// 65543 = 0x10007: only the low 16 bits are reported.
const FailureCase kFailures[] = {
    {kCapture, Call::Prepare, 0, "Error when preparing sampling header n°:7", "Erreur préparation header éch. n°:7"},
    {kCapture, Call::Prepare, 1, "Error when preparing second sampling header n°:7",
     "Erreur préparation header bis éch. n°:7"},
    {kCapture, Call::Start, 0, "Error when sampling n°7", "Erreur lors de l'échantillonnage n°7"},
    {kCapture, Call::Reset, 0, "Error when stopping sampling n°7.\r\nIncrease the latency time.",
     "Erreur lors de l'arrêt de l'échantillonnage n°7.\r\nAugmenter le temps de latence."},
    {kCapture, Call::Close, 0, "Error when closing input device n°7", "Erreur lors de fermeture du device d'entrée n°7"},
    {kPlayback, Call::Write, 0, "Error when writing datas.7", "Erreur de restitution des données n°7"},
    {kPlayback, Call::Write, 1, "Error when writing second datas.7", "Erreur de restitution des données bis n°7"},
    {kPlayback, Call::Reset, 0, "Error when stopping datas writing n°7", "Erreur d'arrêt de restitution des données n°7"},
    {kPlayback, Call::Close, 0, "Error when closing output device n°7",
     "Erreur lors de fermeture du device de sortie n°7"},
};

TEST(WaveEngine, EveryReportedFailureInBothLanguages) {
    for (const std::uint8_t language : {kEnglish, kFrench}) {
        for (const auto& c : kFailures) {
            EngineFixture f;
            f.language = language;
            f.wave.failNext(c.dir, c.call, 0, c.skip);
            f.wave.failNext(c.dir, c.call, 65543);
            f.engine.openCapture(0);
            f.engine.openPlayback(false, false, false);
            f.engine.stopAllSound();
            const std::string expected = language == kEnglish ? c.english : c.french;
            EXPECT_EQ(f.texts(), std::vector<std::string>{expected});
            if (!f.view.messages.empty()) {
                EXPECT_EQ(f.view.messages[0].title, language == kEnglish ? "Error" : "Erreur");
            }
        }
    }
}

TEST(WaveEngine, WriteStillPlayingIsSuccessAndSilent) {
    EngineFixture f;
    f.wave.failNext(kPlayback, Call::Write, kWaveStillPlaying, 2);
    EXPECT_TRUE(f.engine.openPlayback(false, false, false));
    EXPECT_TRUE(f.view.messages.empty());
}

TEST(WaveEngine, FailedPlaybackOpenPrimesNothingAndSaysNothing) {
    EngineFixture f;
    f.engine.speakerQueue().appendRepeated(0, 5);
    f.wave.failNext(kPlayback, Call::Open, 4);
    EXPECT_FALSE(f.engine.openPlayback(false, false, false));
    EXPECT_FALSE(f.engine.playbackOpened());
    EXPECT_EQ(f.engine.speakerQueue().size(), 5u);
    EXPECT_TRUE(f.view.messages.empty());
    EXPECT_EQ(f.wave.count(kPlayback, Call::Prepare), 0);
}

TEST(WaveEngine, FailedPlaybackPrepareShowsTheIndicatorAndStopsTheSound) {
    EngineFixture f;
    f.engine.openCapture(0);
    f.wave.completeCapture(0x11);
    f.engine.pollCapture();
    ASSERT_TRUE(f.engine.captureSlot(1).ready);
    f.wave.failNext(kPlayback, Call::Prepare, 11);
    EXPECT_FALSE(f.engine.openPlayback(false, false, false));
    EXPECT_TRUE(f.controls.get("detecte_PC_pb_TX").visible);
    EXPECT_FALSE(f.engine.captureOpened());
    EXPECT_FALSE(f.wave.isOpen(kPlayback));
    EXPECT_FALSE(f.engine.captureSlot(1).ready);
}

TEST(WaveEngine, FailedCaptureResetLeavesTheDeviceOpenAndAReopenWaitsForIt) {
    EngineFixture f;
    f.engine.openCapture(0);
    f.wave.failNext(kCapture, Call::Reset, 7);
    f.engine.stopCapture();
    EXPECT_TRUE(f.engine.captureOpened());
    EXPECT_TRUE(f.wave.isOpen(kCapture));
    EXPECT_EQ(f.wave.count(kCapture, Call::Close), 0);
    // Reopening first stops the device still holding its buffers.
    f.engine.openCapture(0);
    EXPECT_EQ(f.wave.count(kCapture, Call::Close), 1);
    EXPECT_EQ(f.wave.count(kCapture, Call::Open), 2);
}

TEST(WaveEngine, FailedPlaybackResetKeepsTheBuffersTheDeviceHolds) {
    EngineFixture f;
    ASSERT_TRUE(f.engine.openPlayback(false, false, false));
    f.wave.failNext(kPlayback, Call::Reset, 7);
    f.engine.stopPlayback();
    EXPECT_TRUE(f.engine.playbackOpened());
    EXPECT_EQ(f.wave.count(kPlayback, Call::Close), 0);
    // The device finishes the buffers it was given: they are still there to finish.
    EXPECT_TRUE(f.wave.finishPlayback());
    EXPECT_TRUE(f.engine.openPlayback(false, false, false));
    EXPECT_EQ(f.wave.count(kPlayback, Call::Close), 1);
}

struct PrimingCase {
    int fee;
    bool tx;
    std::size_t samples;
};

TEST(WaveEngine, SpeakerIsPrimedWith20To27TenthsOfABufferOfSilence) {
    for (const auto& c : {PrimingCase{44100, false, 1267}, PrimingCase{12000, false, 1487},
                          PrimingCase{11025, false, 1487}, PrimingCase{48000, true, 1102}}) {
        EngineFixture f;
        f.s.fee = c.fee;
        f.engine.speakerQueue().append(1234);
        ASSERT_TRUE(f.engine.openPlayback(false, false, c.tx));
        EXPECT_EQ(f.engine.speakerQueue().size(), c.samples) << c.fee;
        EXPECT_EQ(f.engine.speakerQueue()[0], 0);
        EXPECT_EQ(f.wave.openedFormat[1].channels, 1);
    }
}

TEST(WaveEngine, TxCardIsPrimedWithTwoBuffersOfZeroFramesAndOpensTheTxDevice) {
    EngineFixture f;
    f.engine.cards()[CardRole::Tx] = 1;
    f.engine.cards()[CardRole::Speaker] = 0;
    f.wave.devices = {1, 2};
    f.s.outBufferBytes = 9600;
    ASSERT_TRUE(f.engine.openPlayback(true, true, true));
    EXPECT_TRUE(f.engine.playbackIsTxCard());
    EXPECT_EQ(f.wave.openedDevice[1], 1);
    EXPECT_EQ(f.wave.openedFormat[1].channels, 2);
    EXPECT_EQ(f.engine.txFrames(), 4800u);
}

TEST(WaveEngine, TxFramesLeaveAsLittleEndianTwosComplement) {
    EngineFixture f;
    f.wave.devices = {1, 1};
    f.s.outBufferBytes = 16;  // four frames a buffer
    ASSERT_TRUE(f.engine.openPlayback(true, true, true));
    f.engine.txQueue().clear();
    for (const std::int16_t v : {0, 0, -1, 1, 1, -1, 32767, -32767}) f.engine.txQueue().append(v);
    ASSERT_TRUE(f.wave.finishPlayback());
    f.engine.feedPlayback(false);
    ASSERT_TRUE(f.wave.finishPlayback());  // the second primed buffer
    ASSERT_TRUE(f.wave.finishPlayback());  // the frames
    const std::vector<std::uint8_t> frames(f.wave.played.end() - 16, f.wave.played.end());
    EXPECT_EQ(frames, (std::vector<std::uint8_t>{0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x01, 0x00, 0xFF, 0xFF,
                                                 0xFF, 0x7F, 0x01, 0x80}));
}

TEST(WaveEngine, StoppingTwiceDoesNothingTheSecondTime) {
    EngineFixture f;
    f.engine.openCapture(0);
    f.engine.openPlayback(false, false, false);
    f.engine.stopAllSound();
    const auto callsAfterFirstStop = f.wave.calls.size();
    f.engine.stopAllSound();
    EXPECT_EQ(f.wave.calls.size(), callsAfterFirstStop);
    EXPECT_EQ(f.engine.lastSeenCaptureBuffer(), 20);
    EXPECT_EQ(f.engine.captureCount(), 0);
}

TEST(WaveEngine, ThePlaybackRunsAtFeeWhenTheOutputRateEqualsIt) {
    EngineFixture f;
    f.s.fee = 48000;
    ASSERT_TRUE(f.engine.openPlayback(false, false, false));
    EXPECT_EQ(f.wave.openedFormat[1].samplesPerSecond, 12000);
    f.engine.stopPlayback();
    f.s.fesEqualsFee = true;
    ASSERT_TRUE(f.engine.openPlayback(false, false, false));
    EXPECT_EQ(f.wave.openedFormat[1].samplesPerSecond, 48000);
}

struct RegulationCase {
    std::size_t queued, expected;
};

TEST(WaveEngine, TheSpeakerQueueIsHeldBetween170And250Percent) {
    // One buffer is 551 samples: 250 % is 1377, 170 % is 936.
    constexpr RegulationCase kCases[] = {{1653, 1377}, {551, 936}, {0, 936}, {1000, 1000}, {1378, 1378}, {936, 936}};
    for (const auto& c : kCases) {
        EngineFixture f;
        f.engine.speakerQueue().appendRepeated(3, c.queued);
        f.engine.regulateSpeakerQueue();
        EXPECT_EQ(f.engine.speakerQueue().size(), c.expected) << c.queued;
        // Trimming drops the newest; filling adds silence behind what was queued.
        if (c.queued > 0) {
            EXPECT_EQ(f.engine.speakerQueue()[0], 3);
        }
    }
}

TEST(WaveEngine, ABacklogOfOverOneSecondIsCutByOneSecond) {
    EngineFixture f;
    auto& backlog = f.engine.rxBacklog();
    backlog.appendRepeated(1, 2 * 44100);
    f.engine.cutBacklogBeyondOneSecond();
    EXPECT_EQ(backlog.size(), 2u * 44100);  // exactly one second: kept
    backlog.appendRepeated(2, 2 * 100);
    f.engine.cutBacklogBeyondOneSecond();
    EXPECT_EQ(backlog.size(), 2u * 100);
    EXPECT_EQ(backlog[0], 2);  // the oldest second went
}

TEST(WaveEngine, CollectedCaptureIsTheBuffersLittleEndianSamplesInOrder) {
    EngineFixture f;
    f.s.captureBufferBytes = 8;
    f.engine.openCapture(0);
    f.wave.completeCapture(std::vector<std::uint8_t>{0x34, 0x12, 0xFE, 0xFF, 0x00, 0x80, 0xFF, 0x7F});
    f.engine.pollCapture();
    EXPECT_EQ(std::vector<std::int16_t>(f.engine.rxBacklog().view().begin(), f.engine.rxBacklog().view().end()),
              (std::vector<std::int16_t>{0x1234, -2, -32768, 32767}));
    EXPECT_EQ(f.engine.captureCount(), 1);
}

}  // namespace
}  // namespace orv::test
