// Long runs of the main cycle on a sound system whose calls fail at random, with a link
// client coming and going and transmissions starting and ending: the station survives,
// its state stays consistent, and the PTT is keyed only for a local transmission.
#include <gtest/gtest.h>

#include <random>

#include "support/station_fixture.hpp"

namespace orv::test {
namespace {

using Call = ScriptedWaveApi::Call;

constexpr Call kCalls[] = {Call::Open,  Call::Prepare, Call::Unprepare, Call::AddBuffer,
                           Call::Write, Call::Start,   Call::Reset,     Call::Close};
constexpr int kCodes[] = {kWaveError,         kWaveBadDevice, kWaveAllocated,    kWaveInvalidHandle,
                          kWaveNoMemory,      kWaveBadFormat, kWaveStillPlaying, 99};

struct Figures {
    long failures = 0;
    long connections = 0;
    long transmissions = 0;
};

// One run of `ticks` ticks from `seed`. Any inconsistency fails the test at the tick it
// appears.
Figures runFaults(unsigned seed, long ticks) {
    Figures figures;
    StationFixture f;
    f.storeSetting(config::kPttOutputPort, 1);
    f.serial.names = {"ttyS0"};
    f.startReceiving();
    std::mt19937 random(seed);
    const auto chance = [&](int perThousand) { return static_cast<int>(random() % 1000) < perThousand; };
    Station& st = *f.station;
    std::vector<std::uint8_t> audio(1102);
    std::vector<std::string> events;  // the last things done, to say how a failure came
    const auto did = [&](std::string what) {
        if (events.size() > 12) events.erase(events.begin());
        events.push_back(std::move(what));
    };
    const auto story = [&] {
        std::string text;
        for (const auto& e : events) text += "\n  " + e;
        return text;
    };
    for (long tick = 0; tick < ticks; ++tick) try {
        if (chance(20)) {
            const auto dir = chance(500) ? WaveDirection::Capture : WaveDirection::Playback;
            f.wave.failNext(dir, kCalls[random() % std::size(kCalls)], kCodes[random() % std::size(kCodes)],
                            1 + static_cast<int>(random() % 3));
            ++figures.failures;
        }
        if (chance(300)) f.wave.completeCapture(static_cast<std::uint8_t>(random()));
        if (chance(300)) f.wave.finishPlayback();
        // The link opens only where its button is enabled, as in the window.
        if (chance(2) && (f.flags().linkClientConnected || f.controls().get("Connection").enabled)) {
            if (!f.flags().linkClientConnected) {
                st.link().connectionClick();
                st.link().listened();
                st.link().accepted("127.0.0.1");
                st.link().clientConnected();
                ++figures.connections;
                did("client connected");
            } else {
                st.link().clientDisconnected();
                st.link().disconnectionClick();
                did("client left");
            }
        }
        if (f.flags().linkClientConnected && chance(10)) {
            const char letter = "TSSSR"[random() % 5];
            const auto header = encodeLinkFrame(letter, letter == 'T' ? 0 : static_cast<std::uint16_t>(audio.size()));
            st.link().received(header);
            if (letter != 'T') st.link().received(audio);
            if (letter == 'T') ++figures.transmissions;
            did(std::string("frame ") + letter);
        }
        if (chance(3)) {
            TransmitControls& buttons = st.transmitControls();
            const bool down = chance(500);
            const auto which = random() % 3;
            switch (which) {
                case 0: buttons.voiceClick(down); break;
                case 1: buttons.tuneClick(down); break;
                default: buttons.calibrationToneClick(down); break;
            }
            did(std::string(which == 0 ? "voice" : which == 1 ? "tune" : "tone") + (down ? " down" : " up"));
            if (down) ++figures.transmissions;
        }
        f.tick();
        if (tick % 1000 == 0) {
            f.wave.calls.clear();
            f.wave.played.clear();
        }
        if (tick % 20 == 0) st.timer4();
        if (tick % 110 == 0) st.timer2();
        if (tick % 300 == 0) st.timer3();

        const CycleFlags& flags = f.flags();
        // A transmission runs on the TX card; the PTT is keyed only by a local one or the tone.
        if ((flags.txInProgress || flags.testToneActive) && !f.engine().playbackIsTxCard()) {
            ADD_FAILURE() << "seed " << seed << " tick " << tick << ": transmitting without the TX card" << story();
            return figures;
        }
        if (f.serial.keyed("ttyS0") && !(flags.txInProgress && flags.localTransmission) && !flags.testToneActive) {
            ADD_FAILURE() << "seed " << seed << " tick " << tick << ": PTT keyed outside a local transmission" << story();
            return figures;
        }
        if (flags.txInProgress && flags.testToneActive) {
            ADD_FAILURE() << "seed " << seed << " tick " << tick << ": a transmission and the tone at once" << story();
            return figures;
        }
    } catch (const std::exception& e) {
        ADD_FAILURE() << "seed " << seed << " tick " << tick << ": " << e.what() << story();
        return figures;
    }
    // Once the faults stop, the station receives again by itself: the watchdog reopens
    // the devices if capture stalled.
    f.wave.clearFailures();
    for (int k = 0; k < 600; ++k) {
        f.wave.completeCapture(std::uint8_t{0});
        f.wave.finishPlayback();
        f.tick();
        if (k % 110 == 0) st.timer2();
    }
    const bool transmitting = f.flags().txInProgress || f.flags().testToneActive;
    if (!transmitting) {
        EXPECT_TRUE(f.flags().processingRunning) << "seed " << seed;
        EXPECT_TRUE(f.wave.isOpen(WaveDirection::Capture))
            << "seed " << seed << " formatChecked " << f.flags().formatChecked << " devicesOpened "
            << f.flags().devicesOpened << " startRequested " << f.flags().startRequested << " engine "
            << f.engine().captureOpened();
    }
    st.formClose();
    EXPECT_FALSE(f.serial.keyed("ttyS0")) << "seed " << seed;
    EXPECT_FALSE(f.flags().txInProgress) << "seed " << seed;
    EXPECT_FALSE(f.flags().testToneActive) << "seed " << seed;
    return figures;
}

TEST(FaultInjection, HundredThousandTicksOfFailingCallsLinkClientsAndTransmissions) {
    Figures total;
    for (const unsigned seed : {1u, 2u, 3u, 4u}) {
        const Figures f = runFaults(seed, 25000);
        total.failures += f.failures;
        total.connections += f.connections;
        total.transmissions += f.transmissions;
    }
    // What the run went through, for the record.
    std::printf("faults injected: %ld, link clients: %ld, transmissions started: %ld\n", total.failures,
                total.connections, total.transmissions);
    EXPECT_GT(total.failures, 1000);
    EXPECT_GT(total.connections, 20);
}

}  // namespace
}  // namespace orv::test
