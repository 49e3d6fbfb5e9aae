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
    ProcessingState s;
    ControlsModel controls;
    MessageWindow messages{view, language};
    WaveEngine engine{s, wave, messages, controls};

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
    EXPECT_TRUE(f.s.capture[0].queued && f.s.capture[1].queued);
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
            f.engine.openPlayback(false);
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
    EXPECT_TRUE(f.engine.openPlayback(false));
    EXPECT_TRUE(f.view.messages.empty());
}

TEST(WaveEngine, FailedPlaybackOpenPrimesNothingAndSaysNothing) {
    EngineFixture f;
    f.s.speaker.appendSilence(5);
    f.wave.failNext(kPlayback, Call::Open, 4);
    EXPECT_FALSE(f.engine.openPlayback(false));
    EXPECT_FALSE(f.engine.playbackOpened());
    EXPECT_EQ(f.s.speaker.samples(), 5u);
    EXPECT_TRUE(f.view.messages.empty());
    EXPECT_EQ(f.wave.count(kPlayback, Call::Prepare), 0);
}

TEST(WaveEngine, FailedPlaybackPrepareShowsTheIndicatorAndStopsTheSound) {
    EngineFixture f;
    f.engine.openCapture(0);
    f.s.processingRunning = true;
    f.s.capture[0].ready = true;
    f.wave.failNext(kPlayback, Call::Prepare, 11);
    EXPECT_FALSE(f.engine.openPlayback(false));
    EXPECT_TRUE(f.controls.get("detecte_PC_pb_TX").visible);
    EXPECT_FALSE(f.engine.captureOpened());
    EXPECT_FALSE(f.wave.isOpen(kPlayback));
    EXPECT_FALSE(f.s.processingRunning);
    EXPECT_FALSE(f.s.capture[0].ready);
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
        f.s.txInProgress = c.tx;
        f.s.speaker.appendSample(1234);
        ASSERT_TRUE(f.engine.openPlayback(false));
        EXPECT_EQ(f.s.speaker.samples(), c.samples) << c.fee;
        EXPECT_EQ(f.s.speaker.high[0], 0);
        EXPECT_EQ(f.wave.openedFormat[1].channels, 1);
    }
}

TEST(WaveEngine, TxCardIsPrimedWithTwoBuffersOfZeroFramesAndOpensTheTxDevice) {
    EngineFixture f;
    f.s.txInProgress = true;
    f.s.txCard = 1;
    f.s.speakerCard = 0;
    f.wave.devices = {1, 2};
    f.s.outBufferBytes = 9600;
    ASSERT_TRUE(f.engine.openPlayback(true));
    EXPECT_TRUE(f.s.outputIsTxCard);
    EXPECT_EQ(f.wave.openedDevice[1], 1);
    EXPECT_EQ(f.wave.openedFormat[1].channels, 2);
    EXPECT_EQ(f.s.tx.frames(), 4800u);
    EXPECT_EQ(f.s.tx.right.high.length(), 4800u);
}

TEST(WaveEngine, StoppingTwiceDoesNothingTheSecondTime) {
    EngineFixture f;
    f.engine.openCapture(0);
    f.engine.openPlayback(false);
    f.engine.stopAllSound();
    const auto callsAfterFirstStop = f.wave.calls.size();
    f.engine.stopAllSound();
    EXPECT_EQ(f.wave.calls.size(), callsAfterFirstStop);
    EXPECT_EQ(f.s.lastSeenCaptureBuffer, 20);
    EXPECT_EQ(f.s.captureCountSeen, 20);
}

TEST(WaveEngine, FesFollowsFeeAfterThePlaybackOpenWhenAsked) {
    EngineFixture f;
    f.s.fee = 48000;
    f.s.fes = 12000;
    f.s.fesEqualsFee = true;
    ASSERT_TRUE(f.engine.openPlayback(false));
    EXPECT_EQ(f.s.fes, 48000);
    EXPECT_EQ(f.engine.adaptedOutputRate(), 48000);
}

}  // namespace
}  // namespace orv::test
