#include "station/monitor_controller.hpp"

#include <cmath>
#include <cstdio>

#include "station/station.hpp"

namespace orv {

void MonitorController::timer2() {
    if (cpuOn_ && cpuReady_) {
        if (const auto percent = st_.ports_.load.read())
            st_.controls_.setText("Label_CPU", "CPU: " + std::to_string(load_.show(*percent)) + " %");
    }
    const CycleFlags& flags = st_.flags_;
    if (!flags.processingRunning || flags.blockBusy || !flags.formatChecked || flags.txInProgress) return;
    if (watchdog_.capturing(st_.engine_.captureCount())) {
        st_.controls_.setVisible("detecte_PC_pb_RX", false);
        return;
    }
    // No capture buffer completed in the last 1.1 s: the devices start again.
    ++restarts_;
    st_.messages_.showError("Increase the latency time which is too short.",
                            "Augmenter le temps de latence qui est trop court.");
    st_.stopAllSound();
    st_.resetReceiveState();
    st_.controls_.setVisible("detecte_PC_pb_RX", true);
}

void MonitorController::timer3() {
    WaveEngine& engine = st_.engine_;
    if (st_.flags_.testToneActive || st_.flags_.txInProgress || engine.refillCount() == 0) return;
    const BufferSizes& sizes = engine.sizes();
    const auto result = regulator_.regulate(engine.refillLevelSum(), engine.refillCount(), sizes.outBufferBytes,
                                            sizes.fee, sizes.fes(), st_.soundMenus_.feRegulated(),
                                            st_.controls_.get("Correction_phase_amplitude_RX").down);
    engine.clearRefillStatistics();
    if (result.correctionSamples != 0) {
        auto& speaker = engine.speakerQueue();
        if (result.correctionSamples > 0)
            speaker.removeFirst(static_cast<std::size_t>(result.correctionSamples));
        else
            speaker.prependRepeated(0, static_cast<std::size_t>(-result.correctionSamples));
        st_.controls_.setVisible("detecte_PC_pb_TX", true);
        ++corrections_;
        if (st_.ports_.clock.nowMs() - st_.runStartMs_ > firstCorrectionWindowMs_) ++late_;
    }
    fillPercent_ = result.fillPercent;
    st_.receive_.setOutputRate(result.adaptedRate);
    st_.controls_.setText("Label_Fe_regulee",
                          std::to_string(result.fillPercent) + " % / " + std::to_string(result.adaptedRate));
    showDrift();
}

std::optional<double> MonitorController::driftPpm() const { return st_.engine_.clockDriftPpm(); }

void MonitorController::showDrift() {
    const auto ppm = st_.engine_.clockDriftPpm();
    if (!ppm) return;
    char figure[32];
    std::snprintf(figure, sizeof figure, "%+.0f ppm", *ppm);
    st_.controls_.setHint("Label_Fe_regulee",
                          st_.text("Clock drift of the speaker card against the receive card: ",
                                   "Dérive d'horloge de la carte du haut-parleur par rapport à la carte de réception : ") +
                              figure);
    // Headless, once a minute at most, when it has moved by more than 5 ppm.
    const std::int64_t now = st_.ports_.clock.nowMs();
    if (driftSaid_ && (now - driftSaidMs_ < 60000 || std::abs(*ppm - *driftSaid_) <= 5)) return;
    driftSaid_ = ppm;
    driftSaidMs_ = now;
    st_.ports_.view.statusLine(st_.text("Clock drift, speaker card against receive card: ",
                                        "Dérive d'horloge, carte du haut-parleur contre carte de réception : ") +
                               figure);
}

void MonitorController::latencyChange(int position) {
    st_.engine_.sizes().latencySetting = position;
    st_.controls_.setPosition("TEMPS_DE_LATENCE", position);
    if (!st_.flags_.processingRunning) return;
    st_.stopAllSound();
    st_.resetReceiveState();
    st_.flags_.retuneOnOpen = false;
    regulator_.clearHistory();
}

void MonitorController::cpuMeterClick(bool down) {
    st_.controls_.setText("Label_CPU", "");
    cpuOn_ = down;
    // A first reading tells whether the machine has a source; it also starts the count.
    cpuReady_ = down && st_.ports_.load.read().has_value();
}

}  // namespace orv
