#include "app/transmit_run.hpp"

namespace orv {

void TransmitScript::press(bool down) {
    TransmitControls& buttons = station_.transmitControls();
    if (kind_ == "voice") buttons.voiceClick(down);
    else if (kind_ == "tune") buttons.tuneClick(down);
    else buttons.calibrationToneClick(down);
}

void TransmitScript::tick(std::int64_t nowMs) {
    const CycleFlags& flags = station_.flags();
    switch (phase_) {
        case Phase::Waiting:
            press(true);
            startMs_ = nowMs;
            phase_ = Phase::Transmitting;
            break;
        case Phase::Transmitting:
            if (seconds_ && static_cast<double>(nowMs - startMs_) >= *seconds_ * 1000) {
                press(false);
                phase_ = Phase::Ending;
            }
            break;
        case Phase::Ending:
            // Voice ends after the release delay; tune and the tone at once.
            if (!flags.txInProgress && !flags.testToneActive) phase_ = Phase::Done;
            break;
        case Phase::Done: break;
    }
}

Bilingual runTransmitBatch(Station& station, RoleWaveApi& wave, VirtualClock& clock, TransmitScript& script,
                           double seconds, const std::atomic<bool>& stop) {
    Bilingual failure;
    const std::int64_t limitMs = clock.nowMs() + static_cast<std::int64_t>(seconds * 1000) + 60000;
    std::int64_t ticks = 0;
    while (clock.nowMs() < limitMs && !stop && !script.finished()) {
        clock.advance(10);
        wave.pump();
        script.tick(clock.nowMs());
        // Done: the station would reopen its receive card, which this run has not got.
        if (script.finished()) break;
        station.timer1();
        ++ticks;
        if (ticks % 20 == 0) station.timer4();
        if (ticks % 110 == 0) station.timer2();
        if (ticks % 300 == 0) station.timer3();
        failure = wave.failure();
        if (!failure.english.empty()) break;
    }
    station.formClose();
    return failure;
}

}  // namespace orv
