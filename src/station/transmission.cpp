// Starting and ending a transmission: the controls locked meanwhile, the TX card opened
// in stereo at the capture rate, and the return to receive.
#include "station/station.hpp"
#include "transmit/transmit_buffers.hpp"

namespace orv {

namespace {
// What a transmission disables and gives back.
constexpr const char* kLockedForTx[] = {
    "TX_3000_Hz",    "Connection",        "Type_recepteur",   "Frequence_echantillonnage",    "Carte_son_RX",
    "Carte_son_HP",  "Carte_son_TX",      "Carte_son_micro",  "Parametres_standard",          "USB",
    "LSB",           "AM",                "FM",               "FM_Commercial_96",             "FM_Commercial_192",
    "Image_spectre", "Correction_phase_amplitude_RX", "Correction_phase_amplitude_TX", "REGLAGE_FREQUENCE"};
}  // namespace

void Station::lockControlsForTx() {
    for (const char* name : kLockedForTx) controls_.setEnabled(name, false);
    controls_.setVisible("Label_TX_en_cours", true);
    flags_.txChainReady = false;
    ptt_.releaseWaiting = false;
}

void Station::unlockControlsAfterTx() {
    for (const char* name : kLockedForTx) controls_.setEnabled(name, true);
    controls_.setEnabled("REGLAGE_FREQUENCE", !tuning_.fixed());
    controls_.setVisible("Label_TX_en_cours", false);
}

void Station::startTransmit(bool withoutMicrophone) {
    flags_.txChainReady = false;
    flags_.txInProgress = true;
    flags_.receiveActive = false;
    updateLinkAudio();
    BufferSizes& sizes = engine_.sizes();
    // With a link client the audio rate is the one its F frame chose.
    computeTransmitBuffers(sizes, flags_.linkClientConnected);
    if (!flags_.linkClientConnected) transmit_.setAudioRate(sizes.micRate);
    // The transmit signal lands on the receive frequency.
    mix_.frequencyHz = static_cast<std::int32_t>(-receive_.config().rxMixFrequencyHz);
    mix_.rate = sizes.fee;
    engine_.txQueue().clear();
    engine_.restartBufferOrder();
    engine_.openPlayback(true, true, true);
    // The microphone's capture comes with the voice transmission.
    (void)withoutMicrophone;
    flags_.txChainReady = true;
    controls_.setVisible("detecte_PC_pb_RX", false);
    controls_.setVisible("detecte_PC_pb_TX", false);
}

void Station::endTransmit() {
    // Back to receive through the restart pattern: the next tick reopens the receive
    // devices.
    stopAllSound();
    monitorController_.clearRegulation();
    flags_.receiveActive = true;
    updateLinkAudio();
    flags_.txChainReady = false;
    flags_.retuneOnOpen = false;
    initReceive();
    resetReceiveState();
    receiver_.applyTuning(tuning_.offsetHz());
    unlockControlsAfterTx();
}

void Station::updateLinkAudio() { receive_.setLinkAudio(flags_.linkClientConnected && flags_.receiveActive); }

}  // namespace orv
