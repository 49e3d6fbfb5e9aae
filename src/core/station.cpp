// Start-up, receive initialisation, the restart pattern and shutdown.
#include "core/station.hpp"

#include "core/buffer_sizes.hpp"

namespace orv {

Station::Station(StationPorts ports)
    : ports_(ports),
      messages_(ports.view, config_[config::kLanguage]),
      files_(ports.files, ports.view, config_[config::kLanguage]),
      engine_(s_, ports.wave, messages_, controls_) {}

bool Station::startUp() {
    s_.startRequested = false;
    if (!enumerateCards()) return false;
    locateMixer();
    if (s_.pttOutputPort) pttKeyOff();
    return true;
}

void Station::initReceive() {
    s_.startRequested = false;
    s_.rxBacklog.clear();
    s_.captureBlock.clear();
    display_.initDisplay();
    s_.fes = nominalOutputRate(s_.fee, s_.fesEqualsFee);
    receive_.reset();
    controls_.setEnabled("INVERSION_I_Q_RX", true);
    controls_.setPosition("REGLAGE_FREQUENCE", 0);
    s_.startRequested = true;
}

void Station::resetReceiveState() {
    s_.rxBacklog.clear();
    s_.captureBlock.clear();
    s_.devicesOpened = false;
    s_.openingDevices = false;
}

void Station::formClose() {
    // The link server, when listening with no client, is closed here; the settings are
    // saved whole.
    if (!s_.linkClientConnected && linkListening_) linkListening_ = false;
}

void Station::abandonClick() { formClose(); }

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
