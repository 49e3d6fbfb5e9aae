#pragma once

#include <cstdint>
#include <string>

namespace orv {

class Station;

// The two I/Q balance windows: TForm3 trims the receive corrections, TForm4 the transmit
// ones while the station sends a 1500 Hz tone and keys the PTT. Their controls are named
// "TForm3." or "TForm4." and the form's name, so the two windows' alike buttons stay
// apart; a slider acts at once.
class CorrectionWindows {
public:
    explicit CorrectionWindows(Station& station) : st_(station) {}

    void rxButtonClick(bool down);  // Correction_phase_amplitude_RX
    void txButtonClick(bool down);  // Correction_phase_amplitude_TX

    // The receive window's controls.
    void rxAmplitudeChange(int position);
    void rxPhaseChange(int position);
    void rxOk();
    void rxReset();
    void rxCancel();
    // The transmit window's controls.
    void txAmplitudeChange(int position);
    void txPhaseChange(int position);
    void txOk();
    void txReset();
    void txCancel();
    void endTxCalibration();

    bool rxOpen() const;
    bool txOpen() const;
    // "Amplitude: " or "Phase: ", the value in tenths, one decimal, four wide, then " %".
    static std::string readout(const char* what, int value);
    // A window's texts in the language of the moment.
    void applyTexts(bool receive);

    static constexpr const char* kRxWindow = "TForm3";
    static constexpr const char* kTxWindow = "TForm4";

private:
    void activate(bool receive);
    void showValues(bool receive);
    void closeRx();
    void setTxCorrections(std::int32_t amplitude, std::int32_t phase);

    Station& st_;
    std::int32_t rxBackup_[2] = {0, 0};
    std::int32_t txBackup_[2] = {0, 0};
};

}  // namespace orv
