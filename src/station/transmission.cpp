// Starting and ending a transmission: the controls locked meanwhile, the TX card opened
// in stereo at the capture rate (with the microphone for voice), the calibration tone,
// the serial PTT keyed for local transmissions only, and the return to receive.
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

bool Station::receiverIsSdr() const { return store_.record()[config::kReceiverType] == 1; }

bool Station::startTransmit(bool withoutMicrophone) {
    flags_.txChainReady = false;
    flags_.txInProgress = true;
    flags_.receiveActive = false;
    updateLinkAudio();
    BufferSizes& sizes = engine_.sizes();
    // The link's audio comes at the rate its client's F frame chose; the microphone's
    // sizes are worked out whenever it is used, a client connected or not.
    const bool linkAudio = flags_.linkClientConnected && withoutMicrophone;
    computeTransmitBuffers(sizes, linkAudio);
    if (!linkAudio) transmit_.setAudioRate(sizes.micRate);
    transmit_.start(sizes.fee, receiverIsSdr());
    // The transmit signal lands on the receive frequency.
    mix_.frequencyHz = static_cast<std::int32_t>(-receive_.config().rxMixFrequencyHz);
    mix_.rate = sizes.fee;
    engine_.txQueue().clear();
    engine_.restartBufferOrder();
    if (!engine_.openPlayback(true, true, true)) {
        // No TX card, no transmission: the engine has said why; back to receive.
        flags_.txInProgress = false;
        endTransmit();
        return false;
    }
    if (!withoutMicrophone) startMicrophone();
    flags_.txChainReady = true;
    controls_.setVisible("detecte_PC_pb_RX", false);
    controls_.setVisible("detecte_PC_pb_TX", false);
    return true;
}

void Station::startMicrophone() {
    engine_.openMicrophone();
    // The voice filter's 2800 Hz are at the rate the microphone really runs at.
    transmit_.microphone().designLowPass(engine_.sizes().micRate);
    SampleFifo<std::uint8_t>& voice = transmit_.voiceQueue();
    voice.clear();
    transmit_.microphone().resetLevel();
    // A cushion of silence ahead of the voice, one and a half capture buffers of samples.
    voice.appendRepeated(0x7F, static_cast<std::size_t>((engine_.sizes().captureBufferBytes / 2) * 3));
    transmit_.voiceLevels().fill(VoiceLevelHistory::kStartLevel);
}

void Station::endTransmit() {
    // Back to receive through the restart pattern: the next tick reopens the receive
    // devices.
    flags_.localTransmission = false;
    flags_.testToneActive = false;
    returnToReceive();
    flags_.txChainReady = false;
    receiver_.applyTuning(tuning_.offsetHz());
    unlockControlsAfterTx();
}

void Station::returnToReceive() {
    stopAllSound();
    monitorController_.clearRegulation();
    flags_.receiveActive = true;
    updateLinkAudio();
    flags_.retuneOnOpen = false;
    initReceive();
    resetReceiveState();
}

bool Station::startLocalTransmission(bool withoutMicrophone) {
    lockControlsForTx();
    stopAllSound();
    // The transmitter is keyed only when there is something to send it.
    if (!startTransmit(withoutMicrophone)) return false;
    flags_.localTransmission = true;
    pttKeyOn();
    return true;
}

void Station::endLocalTransmission() {
    flags_.txInProgress = false;
    endTransmit();
    pttKeyOff();
}

void Station::stopVoiceTransmit() {
    endLocalTransmission();
    controls_.setDown("transmission_phonie", false);
}

bool Station::startCalibrationTone(int hz, std::int32_t amplitudeCorrection, std::int32_t phaseCorrection) {
    stopAllSound();
    flags_.testToneActive = true;
    tone_.amplitudeCorrection = amplitudeCorrection;
    tone_.phaseCorrection = phaseCorrection;
    mix_.frequencyHz = hz;
    mix_.rate = 11025;
    if (!engine_.openTonePlayback(tone_)) {
        flags_.testToneActive = false;
        returnToReceive();
        return false;
    }
    pttKeyOn();
    return true;
}

void Station::endCalibrationTone() {
    engine_.stopPlayback();
    flags_.testToneActive = false;
    returnToReceive();
    controls_.setEnabled("Correction_phase_amplitude_RX", receiverIsSdr());
    pttKeyOff();
}

void Station::endEveryTransmission() {
    if (flags_.testToneActive) {
        if (correctionWindows_.txOpen()) correctionWindows_.endTxCalibration();
        else transmitControls_.calibrationToneClick(false);
    }
    if (flags_.txInProgress && flags_.localTransmission) {
        ptt_.releaseWaiting = false;
        stopVoiceTransmit();
        controls_.setDown("Transmission_tune", false);
    } else if (flags_.txInProgress) {
        linkController_.abandonTransmission();
    }
    // Whatever happened before, the transmitter is released.
    serialPtt_.keyOff();
    ptt_.releaseWaiting = false;
}

void Station::pttKeyOn() {
    if (ptt_.outputPort) serialPttController_.keyOn();
}

void Station::pttKeyOff() {
    if (ptt_.outputPort) serialPttController_.keyOff();
}

void Station::modulate(std::span<const std::uint8_t> chunk) {
    transmit_.modulateTxAudio(chunk, receive_.config().mode, mix_, engine_.txQueue());
}

void Station::updateLinkAudio() { receive_.setLinkAudio(flags_.linkClientConnected && flags_.receiveActive); }

}  // namespace orv
