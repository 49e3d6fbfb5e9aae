#pragma once

namespace orv {

class Station;

// The transmit buttons: voice, tune carrier, the +3000 Hz calibration tone, and the TX
// AGC, filter and I/Q swap. One transmission runs at a time; a button that cannot start
// one now is shown up again.
class TransmitControls {
public:
    explicit TransmitControls(Station& station) : st_(station) {}

    void voiceClick(bool down);         // transmission_phonie
    void tuneClick(bool down);          // Transmission_tune
    void calibrationToneClick(bool down);  // TX_3000_Hz
    void agcClick(bool down);           // Bouton_CAG_TX
    void filterClick(bool down);        // FILTRE_TX
    void swapIqClick(bool down);        // INVERSION_I_Q_TX

private:
    // The calibration tone stops and the station receives again.
    void endCalibrationTone();
    bool refused(const char* button) const;

    Station& st_;
};

}  // namespace orv
