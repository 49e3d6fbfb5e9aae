#include "station/correction_windows.hpp"

#include <cstdio>

#include "station/station.hpp"

namespace orv {

namespace {

enum Which { kRx = 1, kTx = 2, kBoth = 3 };

struct WindowText {
    const char* label;  // empty: the window's caption
    Which which;
    const char* english;
    const char* french;
};

// Set at every activation, in the language of the moment.
constexpr WindowText kWindowTexts[] = {
    {"", kRx,
     "Correction of phase and amplitude intended to compensate the imperfection of the quadrature putting of Q compared to I, for RX",
     "Correction de phase et d'amplitude destinée à compenser l'imperfection de la mise en quadrature de Q par rapport à I, pour RX"},
    {"", kTx,
     "Correction of phase and amplitude intended to compensate the imperfection of the quadrature putting of Q compared to I, for TX",
     "Correction de phase et d'amplitude destinée à compenser l'imperfection de la mise en quadrature de Q par rapport à I, pour TX"},
    {"Label0_1", kRx,
     "Problem: the SdR receiver or the sound card can introduce a bias on the amplitude and on the phase of I et Q. These bias must be corrected otherwise",
     "Problème: le récepteur SdR ou la carte son peuvent introduire un biais sur l'amplitude et la phase de I et Q. Ces biais doivent être corrigées sinon on"},
    {"Label0_1", kTx,
     "Problem: the SdR transmitter or the sound card can introduce a bias on the amplitude and on the phase of I et Q. These bias must be corrected otherwise",
     "Problème: l'émetteur SdR ou la carte son peuvent introduire un biais sur l'amplitude et la phase de I et Q. Ces biais doivent être corrigées sinon on"},
    {"Label0_2", kBoth,
     "a fraction of the USB (F>0) spectrum will be on the LSB part (F<0) and reversely. Normally, I et Q have the same amplitude but a phase of 90 ° between them.",
     "aura une fraction du spectre USB (F>0) dans la partie LSB (F<0) et inversement. Il est rappellé que I et Q ont la même amplitude mais sont déphasés de 90 °."},
    {"Label1", kBoth,
     "1. Preliminaries",
     "1. Préliminaires"},
    {"Label1_1", kRx,
     "1.1) Check that the balance (on the mixer) of the \"Mic\" or \"Line in\" input receiving the signal, is located at the center of the span.",
     "1.1) S'assurer que la balance (sur la table de mixage) de l'entrée prise \"Mic\" ou \"Line in\" recevant le signal, est bien au centre."},
    {"Label1_1", kTx,
     "1.1) Check that the balance (on the mixer) of the \"Speaker out\" or \"Line out\" output transmtting the I/Q signals, is located at the center of the span.",
     "1.1) S'assurer que la balance (sur la table de mixage) de la sortie \"Speaker out\" or \"Line out\" transmettant les signaux I/Q, est bien au centre."},
    {"Label2", kRx,
     "2. Calibration of the sound card",
     "2. Calibrage de la carte son"},
    {"Label2", kTx,
     "2. Calibration of the sound card and the transmitter",
     "2. Calibrage de la carte son et de l'émetteur"},
    {"Label2_1", kRx,
     "2.1) Supply the \"Mic\" or \"Line in\" input with a + 3 KHz signal (Orvandel from an other PC can supply this reference, by pushing \"TX +3000 Hz\").",
     "2.1) Alimentez l'entrée \"Mic\" ou \"Line in\" avec un signal à + 3 KHz (Orvandel depuis un autre PC peut fournir cette référence, en appuyant sur \"TX+3000 Hz\")."},
    {"Label2_2", kRx,
     "2.2) A signal at - 3 KHz might not appear. If it appears, it must be isolated with the \"1200 Hz\" filter, this to measure the local level in %.",
     "2.2) Un signal à - 3 KHz ne devrait pas apparaître. S'il apparaît,  il faut l'isoler avec le filtre \"1200 Hz\" puis mesurer le niveau local en %."},
    {"Label2_3", kRx,
     "2.3) By slightly using the \"Amplitude\" and \"Phase\" cursors, the signal at -3000 Hz must be reduced down to measure Ratio=0.0 or 0.1 %.",
     "2.3) En utilisant doucement les curseurs \"Amplitude\" et \"Phase\", on doit réduire le signal à -3000 Hz jusqu'à mesurer Rapport=0.0 ou 0.1 %."},
    {"Label3", kRx,
     "3. Taking into account of the SdR receiver",
     "3. Prise en compte du récepteur SdR"},
    {"Label3_1", kRx,
     "3.1) Supply the \"Mic\" or \"Line in\" input with a powerful USB radio signal (by using, for example, a transceiver in \"Tune\" on a resistive load).",
     "3.1) Alimentez l'entrée \"Mic\" ou \"Line in\" avec un signal radio USB puissant (en utilisant, par exemple, un transceiver en \"Tune\" sur une charge résistive)."},
    {"Label3_2", kRx,
     "3.2) Tune the SdR receiver to receive the signal in the superior part of the spectrum (at about 3000 Hz, for example).",
     "3.2) Régler le récepteur SdR pour recevoir  le signal dans la partie supérieure du spectre (vers 3000 Hz, par exemple)."},
    {"Label3_3", kRx,
     "3.3) The LSB signal (at - 3 KHz in the example)  might not appear. If it appears, it must be isolated with the \"1200 Hz\" filter, this to measure the local level in %.",
     "3.3) Le signal LSB (à - 3 KHz dans l'exemple) ne devrait pas apparaître. S'il apparaît,  il faut l'isoler avec le filtre à 1200 Hz puis mesurer le niveau local en %."},
    {"Label3_4", kRx,
     "3.4) By slightly using the \"Amplitude\" and \"Phase\" cursors, the signal at -3000 Hz must be reduced down to measure Ratio=0.0 or 0.1 %.",
     "3.4) En utilisant doucement les curseurs \"Amplitude\" et \"Phase\", on doit réduire le signal à -3000 Hz jusqu'à mesurer Rapport=0.0 ou 0.1 %."},
    {"Label2_1", kTx,
     "During this test, it is transmitted a 1500 Hz AF SdR signal. None LSB signal must be received in the reference receiver (your transceiver, for example).",
     "Durant ce test, il est émis un signal BF USB SdR à 1500 Hz. Aucun signal LSB ne doit être reçu sur le récepteur de référence (votre transceiver, par exemple)"},
    {"Label2_2", kTx,
     "2.1) The LSB signal at 1500 KHz might not appear. If it appears, it must be isolated with the the filter of the reference receiver, in LSB reception.",
     "2.1) Le signal LSB à 1500 Hz ne devrait pas apparaître. S'il apparaît,  il faut l'isoler avec le filtre du récepteur de référence, en réception LSB."},
    {"Label2_3", kTx,
     "2.2) By slightly using the \"Amplitude\" and \"Phase\" cursors, this LSB signal must be reduced down to not hear it.",
     "2.2) En utilisant doucement les curseurs \"Amplitude\" et \"Phase\", on doit réduire ce signal LSB jusqu'à ne plus l'entendre."},
};

struct WindowNames {
    const char* window;
    const char* button;     // its main-window button
    const char* amplitude;  // the sliders
    const char* phase;
    const char* amplitudeLabel;
    const char* phaseLabel;
    const char* reset;
};
constexpr WindowNames kRxNames = {"TForm3", "Correction_phase_amplitude_RX", "TForm3.Amplitude", "TForm3.Phase",
                                  "TForm3.Label_Amplitude", "TForm3.Label_Phase", "TForm3.Remise_a_0"};
constexpr WindowNames kTxNames = {"TForm4", "Correction_phase_amplitude_TX", "TForm4.Amplitude_TX", "TForm4.Phase_TX",
                                  "TForm4.Label_Amplitude_TX", "TForm4.Label_Phase_TX", "TForm4.Remise_a_0_TX"};
const WindowNames& names(bool receive) { return receive ? kRxNames : kTxNames; }

}  // namespace

std::string CorrectionWindows::readout(const char* what, int value) {
    char number[16];
    std::snprintf(number, sizeof number, "%4.1f", value / 10.0);
    return std::string(what) + number + " %";
}

bool CorrectionWindows::rxOpen() const { return st_.controls_.get(kRxWindow).visible; }
bool CorrectionWindows::txOpen() const { return st_.controls_.get(kTxWindow).visible; }

void CorrectionWindows::applyTexts(bool receive) {
    const WindowNames& n = names(receive);
    const std::string prefix = std::string(n.window) + ".";
    for (const WindowText& t : kWindowTexts) {
        if (!(t.which & (receive ? kRx : kTx))) continue;
        const std::string text = st_.text(t.english, t.french);
        if (*t.label == '\0') st_.controls_.setCaption(n.window, text);
        else st_.controls_.setText(prefix + t.label, text);
    }
    st_.controls_.setCaption(prefix + "Correction_OK", "Correction OK");
    st_.controls_.setCaption(n.reset, st_.text("Reset to 0", "Remise à 0"));
    st_.controls_.setCaption(prefix + "Annule", st_.text("Cancel", "Annule"));
}

void CorrectionWindows::showValues(bool receive) {
    const WindowNames& n = names(receive);
    const std::int32_t amplitude =
        receive ? st_.receive_.config().amplitudeCorrection : st_.transmit_.options().amplitudeCorrection;
    const std::int32_t phase = receive ? st_.receive_.config().phaseCorrection : st_.transmit_.options().phaseCorrection;
    st_.controls_.setRange(n.amplitude, -100, 100);
    st_.controls_.setRange(n.phase, -100, 100);
    st_.controls_.setPosition(n.amplitude, amplitude);
    st_.controls_.setPosition(n.phase, phase);
    st_.controls_.setText(n.amplitudeLabel, readout("Amplitude: ", amplitude));
    st_.controls_.setText(n.phaseLabel, readout("Phase: ", phase));
}

void CorrectionWindows::activate(bool receive) {
    std::int32_t* backup = receive ? rxBackup_ : txBackup_;
    if (receive) {
        backup[0] = st_.receive_.config().amplitudeCorrection;
        backup[1] = st_.receive_.config().phaseCorrection;
    } else {
        backup[0] = st_.transmit_.options().amplitudeCorrection;
        backup[1] = st_.transmit_.options().phaseCorrection;
    }
    showValues(receive);
    applyTexts(receive);
    st_.controls_.setVisible(names(receive).window, true);
}

void CorrectionWindows::rxButtonClick(bool down) {
    if (st_.controls_.get("Connection").down || st_.flags_.linkClientConnected || txOpen()) {
        st_.controls_.setDown(kRxNames.button, false);
        return;
    }
    if (rxOpen()) return;
    st_.controls_.setDown(kRxNames.button, down);
    if (!down) return;
    st_.controls_.setEnabled("TX_3000_Hz", false);
    activate(true);
}

void CorrectionWindows::rxAmplitudeChange(int position) {
    st_.receive_.setCorrections(position, st_.receive_.config().phaseCorrection);
    showValues(true);
}

void CorrectionWindows::rxPhaseChange(int position) {
    st_.receive_.setCorrections(st_.receive_.config().amplitudeCorrection, position);
    showValues(true);
}

void CorrectionWindows::closeRx() {
    st_.controls_.setDown(kRxNames.button, false);
    st_.controls_.setEnabled("TX_3000_Hz", true);
    st_.controls_.setVisible(kRxWindow, false);
}

void CorrectionWindows::rxOk() { closeRx(); }

void CorrectionWindows::rxReset() {
    st_.receive_.setCorrections(0, 0);
    showValues(true);
}

void CorrectionWindows::rxCancel() {
    st_.receive_.setCorrections(rxBackup_[0], rxBackup_[1]);
    closeRx();
}

void CorrectionWindows::txButtonClick(bool down) {
    if (st_.controls_.get("Connection").down || st_.flags_.linkClientConnected || rxOpen() ||
        (down && (st_.flags_.txInProgress || st_.flags_.testToneActive))) {
        st_.controls_.setDown(kTxNames.button, txOpen());
        return;
    }
    if (txOpen()) return;
    st_.controls_.setDown(kTxNames.button, down);
    if (!down) return;
    const TransmitChain::Options& options = st_.transmit_.options();
    if (!st_.startCalibrationTone(1500, options.amplitudeCorrection, options.phaseCorrection)) {
        st_.controls_.setDown(kTxNames.button, false);
        return;
    }
    for (const char* name : {"Correction_phase_amplitude_RX", "Connection", "TX_3000_Hz"})
        st_.controls_.setEnabled(name, false);
    activate(false);
}

void CorrectionWindows::setTxCorrections(std::int32_t amplitude, std::int32_t phase) {
    TransmitChain::Options& options = st_.transmit_.options();
    options.amplitudeCorrection = amplitude;
    options.phaseCorrection = phase;
    // The tone follows while the window is open: the user hears the change at once.
    st_.tone_.amplitudeCorrection = amplitude;
    st_.tone_.phaseCorrection = phase;
    showValues(false);
}

void CorrectionWindows::txAmplitudeChange(int position) {
    setTxCorrections(position, st_.transmit_.options().phaseCorrection);
}

void CorrectionWindows::txPhaseChange(int position) {
    setTxCorrections(st_.transmit_.options().amplitudeCorrection, position);
}

void CorrectionWindows::txReset() { setTxCorrections(0, 0); }

void CorrectionWindows::txOk() { endTxCalibration(); }

void CorrectionWindows::txCancel() {
    setTxCorrections(txBackup_[0], txBackup_[1]);
    endTxCalibration();
}

void CorrectionWindows::endTxCalibration() {
    st_.controls_.setDown(kTxNames.button, false);
    st_.controls_.setEnabled("Connection", true);
    st_.controls_.setEnabled("TX_3000_Hz", true);
    if (st_.flags_.testToneActive) st_.endCalibrationTone();
    st_.controls_.setEnabled("Correction_phase_amplitude_RX", st_.receiverIsSdr());
    st_.controls_.setVisible(kTxWindow, false);
    st_.pttKeyOff();
}

}  // namespace orv
