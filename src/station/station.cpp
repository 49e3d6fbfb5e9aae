// Start-up, receive initialisation, the restart pattern and shutdown.
#include "station/station.hpp"

namespace orv {

Station::Station(StationPorts ports)
    : ports_(ports),
      store_(ports.files, ports.view),
      messages_(ports.view, store_.languageByte()),
      engine_(ports.wave, ports.clock, messages_, controls_),
      serialPtt_(ports.serial ? *ports.serial : noSerialPorts_),
      runStartMs_(ports.clock.nowMs()) {
    syncRates();
}

bool Station::startUp() {
    flags_.startRequested = false;
    // What the window shows only when something happens starts hidden.
    for (const char* name : {"Memo_Versions", "Label_TX_en_cours", "Label_saturation", "detecte_PC_pb_RX",
                             "detecte_PC_pb_TX", "FREQUENCE_LSB", CorrectionWindows::kRxWindow,
                             CorrectionWindows::kTxWindow})
        controls_.setVisible(name, false);
    if (!soundMenus_.enumerateCards()) return false;
    serialPttController_.scanPorts();
    settingsController_.loadConfig();
    languageController_.applyLanguage();
    soundMenus_.locateMixer();
    settingsController_.applyConfigControls();
    serialPttController_.openConfiguredPorts();
    controls_.setRange("ProgressBar1", 0, 63);
    settingsController_.loadFrequencyMemory();
    receive_.setupIfFilters();
    return true;
}

void Station::initReceive() {
    flags_.startRequested = false;
    engine_.clearReceiveQueues();
    display_.initDisplay(engine_.sizes().fee, canvas_);
    // Gain control restarted, the decimator emptied, the anti-alias filter designed
    // when the output rate is below the capture rate.
    receive_.initReceive();
    receiver_.computeOffsetRange();
    controls_.setEnabled("INVERSION_I_Q_RX", true);
    controls_.setPosition("REGLAGE_FREQUENCE", 0);
    flags_.startRequested = true;
}

void Station::syncRates() {
    const BufferSizes& sizes = engine_.sizes();
    receive_.setRates(sizes.fee, sizes.fes(), sizes.fesEqualsFee);
}

TuningContext Station::tuningContext() const {
    const ReceiveConfig& config = receive_.config();
    return {config.mode, config.fee, config.fes, config.receiverIsSdR};
}

void Station::stopAllSound() {
    flags_.processingRunning = false;
    engine_.stopAllSound();
}

void Station::resetReceiveState() {
    engine_.clearReceiveQueues();
    flags_.devicesOpened = false;
    flags_.openingDevices = false;
    mix_.phase = 0;
}

void Station::restartReceive() {
    if (!flags_.processingRunning) return;
    stopAllSound();
    resetReceiveState();
}

void Station::formClose() {
    // The transmitter is released before anything else.
    endEveryTransmission();
    linkController_.windowClosing();
    settingsController_.saveAllSettings();
    serialPtt_.closeAll();
}

void Station::abandonClick() { formClose(); }


}  // namespace orv
