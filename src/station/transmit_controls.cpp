#include "station/transmit_controls.hpp"

#include "station/station.hpp"

namespace orv {

namespace {
// What the calibration tone disables besides the correction window's button.
constexpr const char* kLockedForTone[] = {"Connection",   "Transmission_tune", "Type_recepteur", "Frequence_echantillonnage",
                                          "Carte_son_RX", "Carte_son_HP",      "Carte_son_TX",   "Carte_son_micro"};
}  // namespace

bool TransmitControls::refused(const char* button) const {
    // Only from receive, and only while the button is enabled (the link disables some).
    return st_.flags_.txInProgress || st_.flags_.testToneActive || !st_.controls_.get(button).enabled;
}

void TransmitControls::voiceClick(bool down) {
    if (down) {
        if (refused("transmission_phonie")) {
            st_.controls_.setDown("transmission_phonie", false);
            return;
        }
        st_.controls_.setDown("transmission_phonie", true);
        if (!st_.startLocalTransmission(false)) st_.controls_.setDown("transmission_phonie", false);
        return;
    }
    const bool wasDown = st_.controls_.get("transmission_phonie").down;
    st_.controls_.setDown("transmission_phonie", false);
    if (!wasDown || !st_.flags_.txInProgress || !st_.flags_.localTransmission) return;
    // Back to receive after the latency, so the last buffers reach the transmitter.
    st_.ptt_.releaseWaiting = true;
    st_.ptt_.releaseTimeMs = st_.ports_.clock.nowMs();
}

void TransmitControls::tuneClick(bool down) {
    if (down) {
        // The tone gives way to tune (below); anything else keeps the button up.
        if (st_.flags_.txInProgress || !st_.controls_.get("Transmission_tune").enabled) {
            st_.controls_.setDown("Transmission_tune", false);
            return;
        }
        st_.controls_.setDown("Transmission_tune", true);
        if (st_.flags_.testToneActive) {
            // The tone gives way, and the transmit balance window with it if the tone is its.
            if (st_.correctionWindows_.txOpen()) st_.correctionWindows_.endTxCalibration();
            else endCalibrationTone();
            st_.mainCycle();
        }
        if (!st_.startLocalTransmission(true)) {
            st_.controls_.setDown("Transmission_tune", false);
            return;
        }
        st_.tune_.phase = 0;
        st_.tune_.frequencyHz = 1000;
        st_.tune_.rate = st_.transmit_.audioRate();
        return;
    }
    // Only the carrier this button started ends here.
    const bool wasDown = st_.controls_.get("Transmission_tune").down;
    st_.controls_.setDown("Transmission_tune", false);
    if (!wasDown || !st_.flags_.txInProgress || !st_.flags_.localTransmission) return;
    st_.endLocalTransmission();
}

void TransmitControls::calibrationToneClick(bool down) {
    if (down) {
        if (refused("TX_3000_Hz")) {
            st_.controls_.setDown("TX_3000_Hz", st_.flags_.testToneActive);
            return;
        }
        st_.controls_.setDown("TX_3000_Hz", true);
        st_.controls_.setEnabled("Correction_phase_amplitude_RX", false);
        for (const char* name : kLockedForTone) st_.controls_.setEnabled(name, false);
        if (!st_.startCalibrationTone(3000, 0, 0)) endCalibrationTone();
        return;
    }
    st_.controls_.setDown("TX_3000_Hz", false);
    // The transmit balance window's tone is the window's to end.
    if (!st_.flags_.testToneActive || st_.correctionWindows_.txOpen()) return;
    endCalibrationTone();
}

void TransmitControls::endCalibrationTone() {
    st_.controls_.setDown("TX_3000_Hz", false);
    st_.endCalibrationTone();
    for (const char* name : kLockedForTone) st_.controls_.setEnabled(name, true);
}

void TransmitControls::agcClick(bool down) {
    st_.transmit_.options().agcOn = down;
    st_.controls_.setDown("Bouton_CAG_TX", down);
}

void TransmitControls::filterClick(bool down) {
    st_.transmit_.options().filterOn = down;
    st_.controls_.setDown("FILTRE_TX", down);
}

void TransmitControls::swapIqClick(bool down) {
    st_.transmit_.options().swapIq = down;
    st_.controls_.setDown("INVERSION_I_Q_TX", down);
}

}  // namespace orv
