// The 10 ms main cycle: opens the devices when a (re)start is pending, collects
// completed capture buffers, cuts them into processing blocks, refills the playback
// buffers from the queues and advances a transmission. The devices are polled, so the
// cycle only ever acts on buffers whose completion it has observed.
#include <cstdio>

#include "station/station.hpp"
#include "transmit/transmit_pacing.hpp"

namespace orv {

void Station::mainCycle() {
    if (pttReleaseStep()) return;
    if (deviceOpenStep()) return;
    pttInputStep();

    const bool receiving =
        !flags_.txInProgress && flags_.processingRunning && flags_.formatChecked && !flags_.testToneActive;
    if (receiving && !flags_.blockBusy) {
        if (!engine_.anyCaptureCopying()) engine_.pollCapture();
        for (const int k : {1, 2})
            if (engine_.captureSlot(k).ready) processCapturedBuffer(k);
    }
    if (receiving && !engine_.anyOutputFilling()) engine_.feedPlayback(flags_.testToneActive);
    if (flags_.txInProgress) transmitStep();
    if (flags_.testToneActive && !engine_.anyOutputFilling()) engine_.feedPlayback(flags_.testToneActive);
}

bool Station::pttReleaseStep() {
    if (!ptt_.releaseDue(ports_.clock.nowMs(), engine_.sizes().latencySetting)) return false;
    ptt_.releaseWaiting = false;
    stopVoiceTransmit();
    return true;
}

bool Station::deviceOpenStep() {
    // The calibration tone holds the TX card until it ends, as a transmission does.
    if (flags_.txInProgress || flags_.testToneActive || !flags_.startRequested || flags_.devicesOpened ||
        flags_.openingDevices)
        return false;
    flags_.openingDevices = true;
    soundMenus_.testCardFormat();
    flags_.devicesOpened = true;
    BufferSizes& sizes = engine_.sizes();
    computeReceiveBuffers(sizes);
    engine_.restartBufferOrder();
    display_.initTransform(sizes.captureRate, sizes.blockLength());
    engine_.openCapture(engine_.cards()[CardRole::Rx]);
    if (receive_.config().noiseReducerLevel != 1) receive_.resetNoiseReducer();
    engine_.openPlayback(false, flags_.txInProgress || flags_.testToneActive, flags_.txInProgress);
    controls_.setRange("REGLAGE_FREQUENCE", -tuning_.halfBandHz() / kTuneStepHz, tuning_.maxOffsetHz() / kTuneStepHz);
    // The first open re-applies the stored offset; later ones tune to the middle column.
    if (flags_.retuneOnOpen) receiver_.tuneToPixel((Display::kWidth - 1) / 2);
    ports_.view.setFocus("Button2");
    flags_.processingRunning = true;
    return true;
}

void Station::pttInputStep() {
    if (!ptt_.inputPort || flags_.linkClientConnected) return;
    for (const char* name : {"Correction_phase_amplitude_TX", "Correction_phase_amplitude_RX", "Transmission_tune"})
        if (controls_.get(name).down) return;
    ptt_.inputState = serialPttController_.readInput();
    if (ptt_.inputState == ptt_.inputPrevious) return;
    ptt_.inputPrevious = ptt_.inputState;
    // An activation from receive starts a voice transmission; any other change (a
    // release, or an activation during a transmission) ends it after the delay.
    if (ptt_.inputState && !flags_.txInProgress && !flags_.testToneActive) {
        controls_.setDown("transmission_phonie", true);
        if (!startLocalTransmission(false)) controls_.setDown("transmission_phonie", false);
        return;
    }
    if (!flags_.txInProgress || !flags_.localTransmission) return;
    ptt_.releaseWaiting = true;
    ptt_.releaseTimeMs = ports_.clock.nowMs();
}

void Station::processCapturedBuffer(int k) {
    cutBlocks();
    if (!engine_.finishCapturedBuffer(k)) return;
    // More than one buffer completed since the last processing: play what is queued and
    // hold the speaker queue between 170 % and 250 % of one buffer.
    if (!engine_.anyOutputFilling()) engine_.feedPlayback(flags_.testToneActive);
    engine_.regulateSpeakerQueue();
}

void Station::cutBlocks() {
    const BufferSizes& sizes = engine_.sizes();
    const auto blockSamples = static_cast<std::size_t>(sizes.blockLength() * sizes.captureChannels());
    while (engine_.rxBacklog().size() >= blockSamples) {
        processBlock();
        engine_.rxBacklog().removeFirst(blockSamples);
    }
    engine_.cutBacklogBeyondOneSecond();
}

void Station::processBlock() {
    flags_.blockBusy = true;
    const BufferSizes& sizes = engine_.sizes();
    const int channels = sizes.captureChannels();
    const auto block = engine_.rxBacklog().view();
    const int halves = sizes.blockLength() / kHalfBlock;
    for (int h = 0; h < halves; ++h) {
        const auto half = block.subspan(static_cast<std::size_t>(h * kHalfBlock * channels),
                                        static_cast<std::size_t>(kHalfBlock * channels));
        receive_.process(half, channels, h * kHalfBlock, engine_.speakerQueue());
        if (!receive_.linkValues().empty()) linkController_.sendReceiveAudio(receive_.linkValues());
        if (receive_.levelUpdated()) showLocalLevel();
    }
    const int shown = kHalfBlock * halves;
    display_.updateDisplay(receive_.displayI(shown), receive_.displayQ(shown), sizes.fee, sizes.fes(),
                           receive_.inputGain(), receive_.config().spectrumAgcOn, canvas_);
    showInputLevel();
    flags_.blockBusy = false;
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

void Station::transmitStep() {
    const auto quarterBuffer = static_cast<std::size_t>(engine_.sizes().outBufferBytes / 4);
    if (controls_.get("Transmission_tune").down && engine_.txFrames() <= quarterBuffer) tuneStep();
    if (controls_.get("transmission_phonie").down) {
        microphoneStep();
        if (engine_.txFrames() < quarterBuffer && !transmit_.voiceQueue().empty()) voiceStep();
    }
    auto& link = link_.txAudio();
    if (flags_.linkClientConnected && flags_.txChainReady && engine_.txFrames() <= quarterBuffer && !link.empty()) {
        const auto chunk = link.first(static_cast<std::size_t>(transmit_.audioRate() / 10));
        modulate(chunk);
        link.removeFirst(chunk.size());
    }
    if (engine_.txFrames() >= quarterBuffer && !engine_.anyOutputFilling()) engine_.feedPlayback(flags_.testToneActive);
    linkEndStep();
}

void Station::tuneStep() {
    const BufferSizes& sizes = engine_.sizes();
    const int n = voiceChunkSamples(transmit_.audioRate(), sizes.outBufferBytes, sizes.fee);
    tuneChunk_.clear();
    for (int k = 0; k < n; ++k) tuneChunk_.push_back(tuneToneByte(tune_));
    modulate(tuneChunk_);
}

void Station::microphoneStep() {
    if (!engine_.anyCaptureCopying()) engine_.pollCapture();
    for (const int k : {1, 2}) {
        if (!engine_.captureSlot(k).ready) continue;
        engine_.dropCapturedBuffer(k);
        if (transmit_.processMicrophone(engine_.micHistory().view()))
            controls_.setPosition("ProgressBar1", transmit_.microphone().level());
        engine_.micHistory().clear();
    }
}

void Station::voiceStep() {
    const BufferSizes& sizes = engine_.sizes();
    const int n = voiceChunkSamples(sizes.micRate, sizes.outBufferBytes, sizes.fee);
    const auto chunk = transmit_.voiceLevels().takeChunk(transmit_.voiceQueue(), n, sizes.captureBufferBytes);
    modulate(chunk);
}

void Station::linkEndStep() {
    if (flags_.linkTxEndRequested && link_.txAudio().empty() && !flags_.txEndPadded) {
        const auto q = static_cast<std::int64_t>(engine_.sizes().outBufferBytes / 4);
        const auto queued = static_cast<std::int64_t>(engine_.txFrames());
        engine_.txQueue().appendRepeated(0, 2 * static_cast<std::size_t>(linkEndPaddingFrames(queued, q)));
        flags_.txEndPadded = true;
    }
    if (flags_.txEndPadded && engine_.txFrames() == 0) {
        flags_.receiveActive = true;
        flags_.txInProgress = false;
        endTransmit();
        linkController_.transmissionEnded();
    }
}

}  // namespace orv
