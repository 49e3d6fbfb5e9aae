// The 10 ms main cycle: opens the devices when a (re)start is pending, collects
// completed capture buffers, cuts them into processing blocks, refills the playback
// buffers from the queues and advances a transmission. The devices are polled, so the
// cycle only ever acts on buffers whose completion it has observed.
#include <algorithm>

#include "core/buffer_sizes.hpp"
#include "core/station.hpp"
#include "display/tuning.hpp"

namespace orv {

void Station::mainCycle() {
    if (pttReleaseStep()) return;
    if (deviceOpenStep()) return;
    pttInputStep();

    const bool receiving = !s_.txInProgress && s_.processingRunning && s_.formatChecked && !s_.testToneActive;
    if (receiving && !s_.blockBusy) {
        if (!s_.anyCaptureCopying()) capturePoll();
        if (s_.captureSlot(1).ready) processCapturedBuffer(1);
        if (s_.captureSlot(2).ready) processCapturedBuffer(2);
    }
    if (receiving && !s_.anyOutputFilling()) feedPlayback();
    if (s_.txInProgress) transmitStep();
    if (s_.testToneActive && !s_.anyOutputFilling()) feedPlayback();
}

bool Station::pttReleaseStep() {
    // The release delay lets the last buffers of a voice transmission reach the card.
    if (!s_.pttReleaseWaiting) return false;
    if (ports_.clock.nowMs() - s_.pttReleaseTimeMs < s_.latencySetting * 100 + 50) return false;
    s_.pttReleaseWaiting = false;
    stopVoiceTransmit();
    return true;
}

bool Station::deviceOpenStep() {
    if (s_.txInProgress || !s_.startRequested || s_.devicesOpened || s_.openingDevices) return false;
    s_.openingDevices = true;
    testCardFormat();
    s_.devicesOpened = true;
    computeReceiveBuffers(s_);
    s_.nextCaptureBuffer = 1;
    s_.nextOutputBuffer = 1;
    display_.initTransform(s_.captureRate, s_.blockLength);
    engine_.openCapture(s_.rxCard);
    if (s_.noiseReducerLevel != 1) receive_.resetNoiseReducer(s_.noiseReducerLevel, s_.fes);
    s_.fes = nominalOutputRate(s_.fee, s_.fesEqualsFee);
    engine_.openPlayback(false);
    controls_.setRange("REGLAGE_FREQUENCE", -s_.halfBandHz / kTuneStepHz, s_.maxOffsetHz / kTuneStepHz);
    // The first open re-applies the stored offset; later ones tune to the middle column.
    if (s_.retuneOnOpen) tuneToPixel((Display::kWidth - 1) / 2);
    ports_.view.setFocus("Button2");
    s_.processingRunning = true;
    return true;
}

void Station::pttInputStep() {
    if (!s_.pttInputPort || s_.linkClientConnected) return;
    for (const char* name : {"Correction_phase_amplitude_TX", "Correction_phase_amplitude_RX", "Transmission_tune"})
        if (controls_.get(name).down) return;
    // No serial line is opened yet, so the input keeps the state it has.
    if (s_.pttInputState == s_.pttInputPrevious) return;
    s_.pttInputPrevious = s_.pttInputState;
    // An activation starts a voice transmission once the modulator exists; any other
    // change (a release, or an activation during a transmission) ends it after the delay.
    if (s_.pttInputState && !s_.txInProgress) return;
    s_.pttReleaseWaiting = true;
    s_.pttReleaseTimeMs = ports_.clock.nowMs();
}

void Station::capturePoll() {
    if (!engine_.captureOpened()) return;
    // Up to three completions, starting with the buffer expected next: the device fills
    // them in turn, so this collects them oldest first.
    const int first = s_.nextCaptureBuffer;
    for (const int k : {first, otherBuffer(first), first}) {
        if (engine_.captureHeader(k).bytesRecorded.load(std::memory_order_acquire) !=
            static_cast<std::uint32_t>(s_.captureBufferBytes))
            continue;
        CaptureSlot& slot = s_.captureSlot(k);
        slot.copying = true;
        controls_.setText("Label_RX", std::to_string(k));
        s_.nextCaptureBuffer = otherBuffer(k);
        if (!slot.queued) {
            // Its last re-queue failed: its contents were taken already. Queue it again
            // and end the poll.
            if (engine_.addCaptureBuffer(k) == kWaveOk) slot.queued = true;
            slot.copying = false;
            return;
        }
        collectCaptureBuffer(k);
    }
}

void Station::collectCaptureBuffer(int k) {
    CaptureSlot& slot = s_.captureSlot(k);
    const auto bytes = std::span<const std::uint8_t>(engine_.captureHeader(k).data)
                           .first(static_cast<std::size_t>(s_.captureBufferBytes));
    // Appended, not replaced: when one poll collects several buffers none is lost.
    s_.captureBlock.append(bytes);
    if (s_.captureHistory.length() > static_cast<std::size_t>(s_.captureBufferBytes))
        s_.captureHistory.removeFirst(static_cast<std::size_t>(s_.captureBufferBytes));
    s_.captureHistory.append(bytes);

    bool queued = engine_.addCaptureBuffer(k) == kWaveOk;
    for (int retry = 0; retry < 3 && !queued; ++retry) {
        ports_.clock.delayMs(1);
        queued = engine_.addCaptureBuffer(k) == kWaveOk;
    }
    slot.queued = queued;
    slot.ready = queued;
    slot.copying = false;
    s_.lastCaptureBuffer = k;
    ++s_.captureCount;
}

void Station::processCapturedBuffer(int k) {
    cutBlocks();
    s_.captureSlot(k).ready = false;
    if (s_.lastCaptureBuffer != s_.lastSeenCaptureBuffer) {
        controls_.setVisible("detecte_PC_pb_RX", false);
        s_.lastSeenCaptureBuffer = s_.lastCaptureBuffer;
        return;
    }
    // More than one buffer completed since the last processing: play what is queued and
    // hold the speaker queue between 170 % and 250 % of one buffer.
    if (!s_.anyOutputFilling()) feedPlayback();
    regulateSpeakerQueue();
}

void Station::regulateSpeakerQueue() {
    const int bufferSamples = s_.outBufferBytes / 2;
    const auto length = static_cast<int>(s_.speaker.samples());
    const int percent = length * 100 / bufferSamples;
    if (percent > 250) {
        s_.speaker.truncate(static_cast<std::size_t>((s_.outBufferBytes * 250 / 2) / 100));
    } else if (percent < 170) {
        const int target = (bufferSamples * 17) / 10;
        if (target > length) s_.speaker.appendSilence(static_cast<std::size_t>(target - length));
    }
}

void Station::cutBlocks() {
    s_.rxBacklog.append(s_.captureBlock);
    s_.captureBlock.clear();
    const auto frameBytes = static_cast<std::size_t>(s_.captureFrameBytes());
    const auto blockBytes = static_cast<std::size_t>(s_.blockLength) * frameBytes;
    while (s_.rxBacklog.length() >= blockBytes) {
        processBlock();
        s_.rxBacklog.removeFirst(blockBytes);
    }
    // A backlog of over one second is cut by one second.
    if (s_.rxBacklog.length() / frameBytes > static_cast<std::size_t>(s_.captureRate))
        s_.rxBacklog.removeFirst(static_cast<std::size_t>(s_.captureRate) * frameBytes);
}

void Station::processBlock() {
    s_.blockBusy = true;
    const auto block = s_.rxBacklog.view();
    const ReceiveSettings settings = receiveSettings();
    const int half = s_.halfBlock;
    const int halves = s_.blockLength == 2048 ? 2 : 1;
    for (int h = 0; h < halves; ++h) {
        const int first = h * half;
        receive_.convertHalfBlock(block, 1, half, first, s_.captureStereo, settings);
        if (s_.captureStereo) {
            receive_.convertHalfBlock(block, 2, half, first, s_.captureStereo, settings);
        } else {
            std::fill_n(receive_.captureQ.begin(), half, 0);
            std::fill_n(receive_.displayQ.begin(), half, 0);
        }
        if (s_.receiverIsSdR) receive_.correctIq(half, settings);
        std::copy_n(receive_.captureI.begin(), half, receive_.blockI.begin());
        std::copy_n(receive_.captureQ.begin(), half, receive_.blockQ.begin());
        std::copy_n(receive_.displayI.begin(), half, displayBlockI_.begin() + first);
        std::copy_n(receive_.displayQ.begin(), half, displayBlockQ_.begin() + first);
        audioOut_.speaker.clear();
        audioOut_.link.clear();
        audioOut_.levelUpdated = false;
        receive_.processHalfBlock(half, settings, audioOut_);
        for (const std::int16_t sample : audioOut_.speaker) s_.speaker.appendSample(sample);
        if (audioOut_.levelUpdated) showLocalLevel();
    }
    const int shown = half * halves;
    std::copy_n(displayBlockI_.begin(), shown, receive_.captureI.begin());
    std::copy_n(displayBlockQ_.begin(), shown, receive_.captureQ.begin());
    display_.updateDisplay(std::span(receive_.captureI).first(static_cast<std::size_t>(shown)),
                           std::span(receive_.captureQ).first(static_cast<std::size_t>(shown)), s_.fee, s_.fes,
                           receive_.inputGain(), s_.spectrumAgcOn, s_.greyWaterfall, canvas_);
    showInputLevel();
    s_.blockBusy = false;
}

void Station::feedPlayback() {
    if (!engine_.playbackOpened()) return;
    const auto wholeBufferQueued = [this] {
        if (!s_.outputIsTxCard) return s_.speaker.samples() >= static_cast<std::size_t>(s_.outBufferBytes / 2);
        if (s_.testToneActive) return true;
        return s_.tx.frames() >= static_cast<std::size_t>(s_.outBufferBytes / 4);
    };
    const int first = s_.nextOutputBuffer;
    for (const int k : {first, otherBuffer(first), first}) {
        if (!wholeBufferQueued()) return;
        const std::uint32_t flags = engine_.playbackHeader(k).flags.load(std::memory_order_acquire);
        const bool free = (flags & (kWaveHeaderDone | kWaveHeaderPrepared)) == (kWaveHeaderDone | kWaveHeaderPrepared);
        if (k == s_.nextOutputBuffer && free) refillPlaybackBuffer(k);
    }
}

void Station::refillPlaybackBuffer(int k) {
    s_.nextOutputBuffer = otherBuffer(k);
    s_.outputFillingFlag(k) = true;
    s_.currentOutputBuffer = k;
    controls_.setText("Label_TX", std::to_string(k));
    auto& data = engine_.playbackHeader(k).data;
    if (!s_.outputIsTxCard) {
        const auto samples = static_cast<std::size_t>(s_.outBufferBytes / 2);
        for (std::size_t i = 0; i < samples; ++i) {
            data[2 * i] = s_.speaker.low[i];
            data[2 * i + 1] = s_.speaker.high[i];
        }
        s_.speaker.removeFirst(samples);
        controls_.setVisible("detecte_PC_pb_TX", false);
        s_.refillLevelSum += static_cast<std::int64_t>(s_.speaker.samples());
        ++s_.refillCount;
    } else if (!s_.testToneActive) {
        const auto frames = static_cast<std::size_t>(s_.outBufferBytes / 4);
        for (std::size_t i = 0; i < frames; ++i) {
            data[4 * i] = s_.tx.left.low[i];
            data[4 * i + 1] = s_.tx.left.high[i];
            data[4 * i + 2] = s_.tx.right.low[i];
            data[4 * i + 3] = s_.tx.right.high[i];
        }
        s_.tx.removeFirst(frames);
    } else {
        // The test oscillator is not built yet: the tone buffer stays silent.
        std::fill(data.begin(), data.end(), 0);
    }
    engine_.writePlayback(k);
    s_.outputFillingFlag(k) = false;
}

void Station::transmitStep() {
    const auto quarterBuffer = static_cast<std::size_t>(s_.outBufferBytes / 4);
    if (controls_.get("transmission_phonie").down) {
        if (!s_.anyCaptureCopying()) capturePoll();
        for (const int k : {1, 2}) {
            if (!s_.captureSlot(k).ready) continue;
            s_.captureSlot(k).ready = false;
            s_.lastSeenCaptureBuffer = s_.lastCaptureBuffer;
        }
        // The microphone path reads the capture history; the block is not needed.
        s_.captureBlock.clear();
        if (s_.tx.frames() < quarterBuffer && !s_.txVoice.empty()) voiceStep();
    }
    if (s_.linkClientConnected && s_.txChainReady && s_.tx.frames() <= quarterBuffer && !s_.linkTxAudio.empty()) {
        const auto chunk = s_.linkTxAudio.first(static_cast<std::size_t>(s_.txAudioRate / 10));
        transmit_.modulateTxAudio(chunk);
        s_.linkTxAudio.removeFirst(chunk.size());
    }
    if (s_.tx.frames() >= quarterBuffer && !s_.anyOutputFilling()) feedPlayback();
    linkEndStep();
}

void Station::voiceStep() {
    const int n = voiceChunkSamples(s_.micRate, s_.outBufferBytes, s_.fee);
    const auto chunk = voiceLevels_.takeChunk(s_.txVoice, n, s_.captureBufferBytes);
    transmit_.modulateTxAudio(chunk);
}

void Station::linkEndStep() {
    if (s_.linkTxEndRequested && s_.linkTxAudio.empty() && !s_.txEndPadded) {
        const auto q = static_cast<std::int64_t>(s_.outBufferBytes / 4);
        const auto queued = static_cast<std::int64_t>(s_.tx.frames());
        s_.tx.appendSilence(static_cast<std::size_t>(linkEndPaddingFrames(queued, q)));
        s_.txEndPadded = true;
    }
    if (s_.txEndPadded && s_.tx.frames() == 0) {
        s_.receiveActive = true;
        s_.txInProgress = false;
        endTransmit();
        controls_.setVisible("Label_TX_en_cours", false);
        s_.linkTxEndRequested = false;
        s_.txEndPadded = false;
        s_.linkTxAudio.clear();
    }
}

}  // namespace orv
