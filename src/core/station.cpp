// Start-up, receive initialisation, the restart pattern and shutdown.
#include "core/station.hpp"

#include "core/buffer_sizes.hpp"

#include <cstdio>

namespace orv {

Station::Station(StationPorts ports)
    : ports_(ports),
      messages_(ports.view, config_[config::kLanguage]),
      files_(ports.files, ports.view, config_[config::kLanguage]),
      engine_(s_, ports.wave, messages_, controls_) {}

bool Station::startUp() {
    s_.startRequested = false;
    if (!enumerateCards()) return false;
    loadConfig();
    locateMixer();
    applyConfigControls();
    if (s_.pttOutputPort) pttKeyOff();
    loadFrequencyMemory();
    receive_.setupIfFilters(s_.mode, s_.fee);
    return true;
}

void Station::initReceive() {
    s_.startRequested = false;
    s_.rxBacklog.clear();
    s_.captureBlock.clear();
    display_.initDisplay(s_.fee, canvas_);
    s_.fes = nominalOutputRate(s_.fee, s_.fesEqualsFee);
    // Gain control restarted, the decimator emptied, the anti-alias filter designed
    // when the output rate is below the capture rate.
    receive_.initReceive(receiveSettings());
    computeOffsetRange();
    controls_.setEnabled("INVERSION_I_Q_RX", true);
    controls_.setPosition("REGLAGE_FREQUENCE", 0);
    s_.startRequested = true;
}

void Station::resetReceiveState() {
    s_.rxBacklog.clear();
    s_.captureBlock.clear();
    s_.devicesOpened = false;
    s_.openingDevices = false;
    mix_.phase = 0;
}

ReceiveSettings Station::receiveSettings() const {
    ReceiveSettings r;
    r.mode = s_.mode;
    r.fee = s_.fee;
    r.fes = s_.fes;
    r.fesEqualsFee = s_.fesEqualsFee;
    r.receiverIsSdR = s_.receiverIsSdR;
    r.rxAgcOn = s_.rxAgcOn;
    r.spectrumAgcOn = s_.spectrumAgcOn;
    r.rxSwapIq = s_.rxSwapIq;
    r.linkAudio = s_.linkClientConnected && s_.receiveActive;
    r.correctionWindowOpen = s_.rxCorrectionWindowOpen;
    r.noiseReducerLevel = s_.noiseReducerLevel;
    r.amplitudeCorrection = s_.rxAmplitudeCorrection;
    r.phaseCorrection = s_.rxPhaseCorrection;
    r.rxMixFrequencyHz = s_.rxMixFrequencyHz;
    r.ifMixFrequencyHz = s_.ifMixFrequencyHz;
    return r;
}

void Station::showInputLevel() {
    const Display::Level& level = display_.level();
    char text[32];
    std::snprintf(text, sizeof text, "%5.1f %%", level.percent);
    controls_.setText("Le_niveau", text);
    controls_.setPosition("TrackBar_niveau", level.meterPosition);
    controls_.setVisible("Label_saturation", level.saturated);
    globalLevel_ = level.percent;
}

void Station::showLocalLevel() {
    // The ratio compares the local level with the whole band's, which the spectrum
    // display measures; it stays at its last value while that level is nil.
    const double local = receive_.localLevelPercent();
    if (globalLevel_ > 1e-10) levelRatio_ = local * 100 / globalLevel_;
    char level[32];
    char ratio[32];
    std::snprintf(level, sizeof level, "%5.1f", local);
    std::snprintf(ratio, sizeof ratio, "%5.1f", levelRatio_);
    controls_.setText("Niveau_local", std::string("Local: ") + level + " % / " + text("Ratio=", "Rapport=") + " " +
                                          ratio + " %");
}

void Station::formClose() {
    // The link server, when listening with no client, is closed here.
    if (!s_.linkClientConnected && linkListening_) linkListening_ = false;
    saveAllSettings();
}

void Station::abandonClick() {
    saveAllSettings();
    formClose();
}

void Station::locateMixer() {
    mixerCommand_ = ports_.mixer.find();
    if (!mixerCommand_.empty()) return;
    std::string en;
    std::string fr;
    for (const auto& program : ports_.mixer.programsLookedFor()) {
        en += (en.empty() ? "\"" : " or \"") + program + "\"";
        fr += (fr.empty() ? "\"" : " ou \"") + program + "\"";
    }
    ports_.view.showStandardBox(
        BoxIcon::Information,
        text("No mixer program has been found (" + en +
                 ")... So the mixer control by the user from Tessaryn is not possible.",
             "Aucun programme de mixage n'a été trouvé (" + fr +
                 ")... Le contrôle du mixer par l'utilisateur depuis Tessaryn n'est pas possible."));
}

void Station::stopVoiceTransmit() {
    s_.txInProgress = false;
    endTransmit();
    controls_.setDown("transmission_phonie", false);
    if (s_.pttOutputPort) pttKeyOff();
}

void Station::endTransmit() {
    // Back to receive through the restart pattern: the next tick reopens the receive
    // devices.
    engine_.stopAllSound();
    s_.receiveActive = true;
    s_.txChainReady = false;
    s_.retuneOnOpen = false;
    initReceive();
    resetReceiveState();
}

}  // namespace orv
