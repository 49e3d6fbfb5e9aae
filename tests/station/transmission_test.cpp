#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "station/correction_windows.hpp"
#include "support/station_fixture.hpp"

namespace orv::test {
namespace {

constexpr auto kCapture = WaveDirection::Capture;
constexpr auto kPlayback = WaveDirection::Playback;

// A station whose settings name serial ports (codes 1 … 18, 10 for none) on a system
// with `ports` serial devices ttyS0 … .
struct WiredStation : StationFixture {
    explicit WiredStation(std::uint8_t outputCode, std::uint8_t inputCode = 10, int ports = 4,
                          std::uint8_t latency = 2) {
        files = filesWithTestSettings(latency);
        storeSetting(config::kPttOutputPort, outputCode);
        storeSetting(config::kPttInputPort, inputCode);
        for (int n = 0; n < ports; ++n) serial.names.push_back("ttyS" + std::to_string(n));
    }
    Station& st() { return *station; }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) tick();
    }
    // The microphone buffer next in the queue filled with a 1000 Hz tone.
    void speak() {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(sizes().captureBufferBytes));
        for (std::size_t n = 0; n + 1 < bytes.size(); n += 2) {
            const auto v = static_cast<std::int16_t>(
                10000 * std::sin(2 * std::numbers::pi * 1000 * static_cast<double>(n / 2) / sizes().micRate));
            bytes[n] = static_cast<std::uint8_t>(v & 0xFF);
            bytes[n + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
        }
        wave.completeCapture(bytes);
    }
};

TEST(SerialPtt, PortCodesSkip7And10) {
    struct Case {
        int port;
        std::uint8_t code;
    };
    constexpr Case kCases[] = {{1, 1}, {6, 6}, {7, 8}, {8, 9}, {9, 11}, {12, 14}, {16, 18}, {0, 10}};
    for (const auto& c : kCases) {
        EXPECT_EQ(SerialPtt::codeForPort(c.port), c.code) << c.port;
        EXPECT_EQ(SerialPtt::portFromCode(c.code), c.port) << int(c.code);
    }
    for (const std::uint8_t never : {0, 7, 19, 255}) EXPECT_EQ(SerialPtt::portFromCode(never), 0) << int(never);
}

TEST(SerialPtt, WithoutAnOutputPortNoSerialCallIsMade) {
    WiredStation f(10);
    f.startReceiving();
    f.st().transmitControls().tuneClick(true);
    f.ticks(5);
    f.st().transmitControls().tuneClick(false);
    f.st().transmitControls().voiceClick(true);
    f.ticks(5);
    f.st().transmitControls().voiceClick(false);
    f.clock.advance(1000);
    f.ticks(2);
    f.st().formClose();
    // The ports are only listed, never opened: opening one raises its lines.
    EXPECT_EQ(f.serial.portCalls(), 0u);
}

TEST(SerialPtt, TheOutputOpensReleasedAndKeysOnlyForLocalTransmissions) {
    WiredStation f(2);  // COM2: ttyS1
    f.startReceiving();
    // Opened at start-up, both lines dropped before anything else is done with it.
    ASSERT_GE(f.serial.log.size(), 4u);
    EXPECT_EQ(f.serial.log[1], "open ttyS1");
    EXPECT_EQ(f.serial.log[2], "dtr 1 off");
    EXPECT_EQ(f.serial.log[3], "rts 1 off");
    for (const auto& call : f.serial.log) EXPECT_NE(call.find("open ttyS0"), 0u) << "the scan opened a port";
    EXPECT_FALSE(f.serial.keyed("ttyS1"));

    f.st().transmitControls().tuneClick(true);
    EXPECT_TRUE(f.serial.keyed("ttyS1"));
    EXPECT_TRUE(f.flags().txInProgress);
    EXPECT_EQ(f.wave.opens.back().channels, 2);
    EXPECT_EQ(f.wave.opens.back().samplesPerSecond, 44100);
    f.ticks(3);
    EXPECT_GT(f.engine().txFrames(), 0u);
    f.st().transmitControls().tuneClick(false);
    EXPECT_FALSE(f.serial.keyed("ttyS1"));
    EXPECT_FALSE(f.flags().txInProgress);

    f.st().transmitControls().calibrationToneClick(true);
    EXPECT_TRUE(f.serial.keyed("ttyS1"));
    EXPECT_TRUE(f.flags().testToneActive);
    EXPECT_EQ(f.wave.opens.back().samplesPerSecond, 11025);
    f.st().transmitControls().calibrationToneClick(false);
    EXPECT_FALSE(f.serial.keyed("ttyS1"));

    // The link's transmissions never key.
    f.st().link().connectionClick();
    f.st().link().listened();
    f.st().link().accepted("127.0.0.1");
    f.st().link().clientConnected();
    f.tick();
    const auto start = encodeLinkFrame('T', 0);
    f.st().link().received(start);
    EXPECT_TRUE(f.flags().txInProgress);
    EXPECT_FALSE(f.serial.keyed("ttyS1"));
}

TEST(SerialPtt, ClosingTheWindowDuringATransmissionReleasesThePttFirst) {
    for (const char* what : {"tune", "voice", "tone"}) {
        WiredStation f(2);
        f.startReceiving();
        TransmitControls& buttons = f.st().transmitControls();
        if (std::string(what) == "tune") buttons.tuneClick(true);
        if (std::string(what) == "voice") buttons.voiceClick(true);
        if (std::string(what) == "tone") buttons.calibrationToneClick(true);
        f.ticks(3);
        ASSERT_TRUE(f.serial.keyed("ttyS1")) << what;
        f.st().formClose();
        EXPECT_FALSE(f.serial.keyed("ttyS1")) << what;
        EXPECT_FALSE(f.flags().txInProgress) << what;
        EXPECT_FALSE(f.flags().testToneActive) << what;
        EXPECT_FALSE(f.wave.isOpen(kPlayback) && f.engine().playbackIsTxCard()) << what;
    }
}

TEST(SerialPtt, ChoosingCom12StoresCode14AndReportsTheOpen) {
    WiredStation f(10, 10, 16);
    f.startReceiving();
    f.st().serialPtt().outputPortClick(12);
    EXPECT_EQ(f.st().store().record()[config::kPttOutputPort], 14);
    EXPECT_TRUE(f.controls().get("COM12_sortie").down);
    EXPECT_FALSE(f.controls().get("Aucun_port_serie_sortie").down);
    EXPECT_EQ(f.controls().get("Label_full_duplex").text, "Success when opening the serial port COM 12.");
    EXPECT_EQ(f.controls().get("COM12_sortie").caption, "COM 12 detected (ttyS11)");
    // The menu's open is a test: the port is closed again, released.
    EXPECT_TRUE(f.serial.open_.empty());
    EXPECT_FALSE(f.serial.keyed("ttyS11"));
    EXPECT_EQ(f.files.contents[f.files.pathOf(kConfigFileName)][config::kPttOutputPort], 14);

    // A port that cannot be opened falls back to none, saved.
    f.serial.refuse = {"ttyS2"};
    f.st().serialPtt().outputPortClick(3);
    EXPECT_EQ(f.controls().get("Label_full_duplex").text,
              "Failure when opening the serial port COM 3. So, no selected serial port.");
    EXPECT_EQ(f.st().store().record()[config::kPttOutputPort], 10);
    EXPECT_TRUE(f.controls().get("Aucun_port_serie_sortie").down);
    EXPECT_EQ(f.files.contents[f.files.pathOf(kConfigFileName)][config::kPttOutputPort], 10);
    // An absent port is not detected.
    EXPECT_EQ(f.controls().get("COM16_sortie").caption, "COM 16 detected (ttyS15)");
    WiredStation few(10, 10, 2);
    few.startReceiving();
    EXPECT_EQ(few.controls().get("COM3_sortie").caption, "COM 3");
    few.st().languages().frenchClick();
    EXPECT_EQ(few.controls().get("COM2_entree").caption, "COM 2 détecté (ttyS1)");
    EXPECT_EQ(few.controls().get("Aucun_port_serie_entree").caption, "Aucun");
}

TEST(SerialPtt, TheInputOnCom9FeedsTheSwitchFromDtr) {
    WiredStation f(10, 10, 10);
    f.startReceiving();
    f.st().serialPtt().inputPortClick(9);
    EXPECT_EQ(f.st().store().record()[config::kPttInputPort], 11);
    EXPECT_TRUE(f.controls().get("COM9_entree").down);
    EXPECT_TRUE(f.serial.dtr["ttyS8"]);
    EXPECT_FALSE(f.serial.rts["ttyS8"]);
    EXPECT_TRUE(f.st().ptt().inputPort);
}

TEST(SerialPtt, TheFootSwitchStartsVoiceAndItsReleaseEndsItAfterTheLatency) {
    WiredStation f(2, 1, 4, 4);  // output COM2, input COM1, latency 4
    f.startReceiving();
    f.serial.switchOn["ttyS0"] = true;
    f.tick();
    EXPECT_TRUE(f.flags().txInProgress);
    EXPECT_TRUE(f.controls().get("transmission_phonie").down);
    EXPECT_TRUE(f.serial.keyed("ttyS1"));
    // The microphone opened: 16-bit mono at its rate.
    EXPECT_EQ(f.wave.openedFormat[0].channels, 1);
    EXPECT_EQ(f.wave.openedFormat[0].samplesPerSecond, 11025);

    f.serial.switchOn["ttyS0"] = false;
    f.tick();
    const std::int64_t released = f.clock.nowMs();
    while (f.clock.nowMs() - released < 440) f.tick();
    EXPECT_TRUE(f.flags().txInProgress);
    while (f.clock.nowMs() - released < 450) f.tick();
    f.tick();
    EXPECT_FALSE(f.flags().txInProgress);
    EXPECT_FALSE(f.controls().get("transmission_phonie").down);
    EXPECT_FALSE(f.serial.keyed("ttyS1"));
}

TEST(SerialPtt, APressDuringAButtonVoiceTransmissionEndsItAndTuneIgnoresTheSwitch) {
    WiredStation f(2, 1);
    f.startReceiving();
    f.st().transmitControls().voiceClick(true);
    f.tick();
    f.serial.switchOn["ttyS0"] = true;
    f.tick();
    EXPECT_TRUE(f.st().ptt().releaseWaiting);
    f.clock.advance(300);
    f.tick();
    EXPECT_FALSE(f.flags().txInProgress);

    WiredStation tune(2, 1);
    tune.startReceiving();
    tune.st().transmitControls().tuneClick(true);
    tune.serial.switchOn["ttyS0"] = true;
    tune.ticks(3);
    EXPECT_FALSE(tune.st().ptt().releaseWaiting);
    EXPECT_TRUE(tune.controls().get("Transmission_tune").down);
    EXPECT_FALSE(tune.controls().get("transmission_phonie").down);
}

TEST(Transmission, VoiceFromTheMicrophoneReachesTheTxCard) {
    WiredStation f(10);
    f.startReceiving();
    f.st().transmitControls().voiceClick(true);
    // A cushion of silence is queued at once: one and a half capture buffers.
    EXPECT_EQ(f.st().transmit().modulator().fee(), 44100);
    for (int i = 0; i < 40; ++i) {
        if (f.wave.queuedCaptureBuffers() > 0) f.speak();
        f.tick();
        while (f.wave.finishPlayback()) {
        }
    }
    EXPECT_NE(f.controls().get("ProgressBar1").position, 0);
    // The frames played carry the voice: far from silence.
    std::int64_t peak = 0;
    for (std::size_t n = 0; n + 1 < f.wave.played.size(); n += 2)
        peak = std::max<std::int64_t>(peak, std::abs(static_cast<std::int16_t>(f.wave.played[n] | f.wave.played[n + 1] << 8)));
    EXPECT_GT(peak, 5000);
}

TEST(Transmission, OneTransmissionAtATime) {
    WiredStation f(10);
    f.startReceiving();
    TransmitControls& buttons = f.st().transmitControls();
    buttons.tuneClick(true);
    buttons.voiceClick(true);
    EXPECT_FALSE(f.controls().get("transmission_phonie").down);
    buttons.calibrationToneClick(true);
    EXPECT_FALSE(f.flags().testToneActive);
    EXPECT_FALSE(f.controls().get("TX_3000_Hz").enabled);
    buttons.tuneClick(false);
    // The +3000 Hz tone disables tune; the transmit window's tone gives way to it (below).
    buttons.calibrationToneClick(true);
    buttons.tuneClick(true);
    EXPECT_TRUE(f.flags().testToneActive);
    EXPECT_FALSE(f.flags().txInProgress);
    EXPECT_FALSE(f.controls().get("Transmission_tune").down);
    buttons.calibrationToneClick(false);
    buttons.tuneClick(true);
    EXPECT_TRUE(f.flags().txInProgress);
    buttons.tuneClick(false);
    f.ticks(2);
    // Back to receive: the receive card reopened in stereo.
    EXPECT_TRUE(f.flags().processingRunning);
    EXPECT_EQ(f.wave.openedFormat[0].channels, 2);
    EXPECT_TRUE(f.controls().get("USB").enabled);
}

TEST(CorrectionWindows, ReadoutsAreOneDecimalFourWide) {
    EXPECT_EQ(CorrectionWindows::readout("Amplitude: ", 25), "Amplitude:  2.5 %");
    EXPECT_EQ(CorrectionWindows::readout("Phase: ", -100), "Phase: -10.0 %");
    EXPECT_EQ(CorrectionWindows::readout("Phase: ", 0), "Phase:  0.0 %");
}

TEST(CorrectionWindows, CancelRestoresTheValuesOfTheActivation) {
    WiredStation f(10);
    f.storeSetting(config::kRxAmplitude, 127 + 20);  // stored offset by 127
    f.startReceiving();
    CorrectionWindows& w = f.st().correctionWindows();
    w.rxButtonClick(true);
    EXPECT_TRUE(w.rxOpen());
    EXPECT_FALSE(f.controls().get("TX_3000_Hz").enabled);
    EXPECT_EQ(f.controls().get("TForm3.Amplitude").position, 20);
    EXPECT_EQ(f.controls().get("TForm3.Label_Amplitude").text, "Amplitude:  2.0 %");
    EXPECT_EQ(f.controls().get("TForm3.Label1").text, "1. Preliminaries");
    w.rxAmplitudeChange(-35);
    EXPECT_EQ(f.rx().amplitudeCorrection, -35);  // at once
    w.rxPhaseChange(7);
    w.rxReset();
    EXPECT_EQ(f.rx().amplitudeCorrection, 0);
    w.rxAmplitudeChange(60);
    w.rxCancel();
    EXPECT_EQ(f.rx().amplitudeCorrection, 20);
    EXPECT_EQ(f.rx().phaseCorrection, 0);
    EXPECT_FALSE(w.rxOpen());
    EXPECT_TRUE(f.controls().get("TX_3000_Hz").enabled);
}

TEST(CorrectionWindows, NeitherOpensWhileTheLinkIsOpenOrTheOtherIs) {
    WiredStation f(10);
    f.startReceiving();
    CorrectionWindows& w = f.st().correctionWindows();
    f.st().link().connectionClick();
    w.rxButtonClick(true);
    EXPECT_FALSE(w.rxOpen());
    EXPECT_FALSE(f.controls().get("Correction_phase_amplitude_RX").down);
    f.st().link().disconnectionClick();
    w.rxButtonClick(true);
    w.txButtonClick(true);
    EXPECT_FALSE(w.txOpen());
    EXPECT_FALSE(f.flags().testToneActive);
}

TEST(CorrectionWindows, TheTransmitWindowSendsA1500HzToneTheSlidersMoveAtOnce) {
    WiredStation f(2);
    f.storeSetting(config::kTxPhase, 127 + 5);
    f.startReceiving();
    CorrectionWindows& w = f.st().correctionWindows();
    w.txButtonClick(true);
    ASSERT_TRUE(w.txOpen());
    EXPECT_TRUE(f.flags().testToneActive);
    EXPECT_TRUE(f.serial.keyed("ttyS1"));
    EXPECT_FALSE(f.controls().get("Connection").enabled);
    const auto peaks = [&] {
        f.wave.played.clear();
        for (int n = 0; n < 4; ++n) {
            f.ticks(1);
            f.wave.finishPlayback();
        }
        std::int32_t i = 0, q = 0;
        for (std::size_t n = 0; n + 3 < f.wave.played.size(); n += 4) {
            i = std::max<std::int32_t>(i, static_cast<std::int16_t>(f.wave.played[n] | f.wave.played[n + 1] << 8));
            q = std::max<std::int32_t>(q, static_cast<std::int16_t>(f.wave.played[n + 2] | f.wave.played[n + 3] << 8));
        }
        return std::pair{i, q};
    };
    // The +3000 Hz button cannot end the window's tone, nor can tune's release.
    f.st().transmitControls().calibrationToneClick(false);
    f.st().transmitControls().tuneClick(false);
    EXPECT_TRUE(f.flags().testToneActive);
    EXPECT_TRUE(f.serial.keyed("ttyS1"));
    // The first two buffers are the opening's silence.
    peaks();
    w.txAmplitudeChange(100);
    const auto [i, q] = peaks();
    EXPECT_NEAR(i, 29400, 30);
    EXPECT_NEAR(q, 29400 * 11 / 10, 30);
    w.txCancel();
    EXPECT_EQ(f.st().transmit().options().amplitudeCorrection, 0);
    EXPECT_EQ(f.st().transmit().options().phaseCorrection, 5);
    EXPECT_FALSE(f.flags().testToneActive);
    EXPECT_FALSE(f.serial.keyed("ttyS1"));
    EXPECT_FALSE(w.txOpen());
    EXPECT_TRUE(f.controls().get("Connection").enabled);

    // Tune pressed while the window sends its tone: the window closes, tune goes out.
    w.txButtonClick(true);
    f.st().transmitControls().tuneClick(true);
    EXPECT_FALSE(w.txOpen());
    EXPECT_FALSE(f.flags().testToneActive);
    EXPECT_TRUE(f.flags().txInProgress);
    EXPECT_TRUE(f.serial.keyed("ttyS1"));
}

}  // namespace
}  // namespace orv::test
