#include "sound/wave_engine.hpp"

#include <algorithm>
#include <new>
#include <span>
#include <string>

namespace orv {

namespace {
// Result codes are reported by their low 16 bits, in decimal.
std::string codeText(int code) { return std::to_string(code & 0xFFFF); }
}  // namespace

WaveEngine::~WaveEngine() {
    // Never leave a driver holding buffers this object is about to free.
    if (captureOpened_) {
        api_.reset(WaveDirection::Capture, captureHandle_);
        api_.close(WaveDirection::Capture, captureHandle_);
    }
    if (playbackOpened_) {
        api_.reset(WaveDirection::Playback, playbackHandle_);
        api_.close(WaveDirection::Playback, playbackHandle_);
    }
}

void WaveEngine::reportError(const char* english, const char* french, int code) {
    messages_.showError(english + codeText(code), french + codeText(code));
}

bool WaveEngine::allocate(Buffers& buffers, int bytes, bool capture) {
    static constexpr const char* kHeaderEn[2][2] = {{"Error on output header 1", "Error on output header 2"},
                                                     {"Error on input header 1", "Error on input header 2"}};
    static constexpr const char* kHeaderFr[2][2] = {
        {"Erreur allocation header de sortie 1", "Erreur allocation header de sortie 2"},
        {"Erreur allocation header d'entrée 1", "Erreur allocation header d'entrée 2"}};
    static constexpr const char* kBufferEn[2][2] = {{"Error on output buffer 1", "Error on output buffer 2"},
                                                     {"Error on input buffer 1", "Error on input buffer 2"}};
    static constexpr const char* kBufferFr[2][2] = {
        {"Erreur allocation buffer de sortie 1", "Erreur allocation buffer de sortie 2"},
        {"Erreur allocation buffer d'entrée 1", "Erreur allocation buffer d'entrée 2"}};
    const int side = capture ? 1 : 0;
    for (int i = 0; i < 2; ++i) {
        try {
            buffers[static_cast<std::size_t>(i)] = std::make_unique<WaveHeader>(0);
        } catch (const std::bad_alloc&) {
            messages_.showError(kHeaderEn[side][i], kHeaderFr[side][i]);
            return false;
        }
        try {
            buffers[static_cast<std::size_t>(i)]->data.resize(static_cast<std::size_t>(bytes));
        } catch (const std::bad_alloc&) {
            messages_.showError(kBufferEn[side][i], kBufferFr[side][i]);
            return false;
        }
    }
    return true;
}

void WaveEngine::openCapture(std::uint8_t card) {
    if (captureOpened_) {
        // A device left open by a failed reset still owns its buffers: stop it first and
        // keep it as it is if it still cannot be stopped.
        stopCapture();
        if (captureOpened_) return;
    }
    captureFormat_ = WaveFormat{sizes_.captureChannels(), sizes_.captureRate, 16};
    receiveClock_.clear();
    if (!allocate(capture_, sizes_.captureBufferBytes, true)) {
        capture_ = {};
        return;
    }
    // The open's result does not stop the sequence: when it failed the prepare fails
    // too and its message carries the platform's number.
    captureHandle_ = -1;
    const int opened = api_.open(WaveDirection::Capture, captureHandle_, CardChoices::deviceIndex(card), captureFormat_);
    if (int rc = api_.prepareHeader(WaveDirection::Capture, captureHandle_, *capture_[0]); rc != kWaveOk) {
        reportError("Error when preparing sampling header n°:", "Erreur préparation header éch. n°:", rc);
    } else if (rc = api_.prepareHeader(WaveDirection::Capture, captureHandle_, *capture_[1]); rc != kWaveOk) {
        reportError("Error when preparing second sampling header n°:", "Erreur préparation header bis éch. n°:", rc);
    } else if (api_.addBuffer(captureHandle_, *capture_[0]) == kWaveOk) {
        api_.addBuffer(captureHandle_, *capture_[1]);
    }
    if (const int rc = api_.start(captureHandle_); rc != kWaveOk)
        reportError("Error when sampling n°", "Erreur lors de l'échantillonnage n°", rc);
    // A device that did not open holds nothing: the next restart (the watchdog's, when
    // nothing is captured) opens it afresh instead of failing to stop it forever.
    captureOpened_ = opened == kWaveOk;
    if (!captureOpened_) capture_ = {};
    capture[0].queued = true;
    capture[1].queued = true;
}

bool WaveEngine::openTonePlayback(ToneSource& tone) {
    constexpr int kToneRate = 11025;
    sizes_.outBufferBytes = (kToneRate / 3) * 4;
    const bool opened = openPlayback(true, true, true, kToneRate);
    if (opened) tone_ = &tone;
    return opened;
}

void WaveEngine::openMicrophone() {
    sizes_.captureRate = sizes_.micRate;
    sizes_.captureStereo = false;
    micHistory_.clear();
    openCapture(cards_[CardRole::Mic]);
}

bool WaveEngine::openPlayback(bool stereo, bool txCard, bool transmitting) {
    // The TX card takes I/Q at the capture rate, the speaker audio at the output rate.
    return openPlayback(stereo, txCard, transmitting, stereo ? sizes_.fee : sizes_.fes());
}

bool WaveEngine::openPlayback(bool stereo, bool txCard, bool transmitting, int rate) {
    if (playbackOpened_) stopPlayback();
    if (playbackOpened_) return false;
    playbackIsTxCard_ = stereo;
    tone_ = nullptr;
    speakerClock_.clear();
    playbackFormat_ = WaveFormat{stereo ? 2 : 1, rate, 16};
    if (!allocate(playback_, sizes_.outBufferBytes, false)) {
        playback_ = {};
        return false;
    }
    playbackHandle_ = -1;
    const std::uint8_t card = cards_[txCard ? CardRole::Tx : CardRole::Speaker];
    if (api_.open(WaveDirection::Playback, playbackHandle_, CardChoices::deviceIndex(card), playbackFormat_) !=
        kWaveOk) {
        playback_ = {};
        return false;
    }
    playbackOpened_ = true;
    primeSilence(stereo, transmitting);
    for (auto& header : playback_) {
        if (api_.prepareHeader(WaveDirection::Playback, playbackHandle_, *header) != kWaveOk) {
            controls_.setVisible("detecte_PC_pb_TX", true);
            stopAllSound();
            for (auto& slot : capture) slot.ready = false;
            return false;
        }
    }
    return writePlayback(1) && writePlayback(2);
}

void WaveEngine::primeSilence(bool stereo, bool transmitting) {
    speaker_.clear();
    if (stereo) {
        tx_.appendRepeated(0, static_cast<std::size_t>(2 * 2 * (sizes_.outBufferBytes / 4)));
        return;
    }
    // 2.0, 2.3 or 2.7 buffers of silence ahead of the first real audio.
    const int tenths = transmitting ? 20 : (sizes_.fee > 12000 ? 23 : 27);
    speaker_.appendRepeated(0, static_cast<std::size_t>(tenths * (sizes_.outBufferBytes / 2) / 10));
}

bool WaveEngine::formatTrial() {
    // A device a failed stop left open would be opened twice: try stopping it again first.
    stopCapture();
    stopPlayback();
    WaveApi::Handle captureHandle = -1;
    if (api_.open(WaveDirection::Capture, captureHandle, CardChoices::deviceIndex(cards_[CardRole::Rx]),
                  WaveFormat{2, sizes_.fee, 16}) != kWaveOk)
        return false;
    WaveApi::Handle playbackHandle = -1;
    const WaveFormat trialPlayback{1, sizes_.fee > 44100 ? 12000 : 11025, 8};
    const bool played = api_.open(WaveDirection::Playback, playbackHandle,
                                  CardChoices::deviceIndex(cards_[CardRole::Speaker]), trialPlayback) == kWaveOk;
    if (played) api_.close(WaveDirection::Playback, playbackHandle);
    api_.close(WaveDirection::Capture, captureHandle);
    return played;
}

bool WaveEngine::writePlayback(int k) {
    playedSeen_[index(k)] = false;
    const int rc = api_.write(playbackHandle_, playbackHeader(k));
    if (rc == kWaveOk || rc == kWaveStillPlaying) return true;
    if (k == 1)
        reportError("Error when writing datas.", "Erreur de restitution des données n°", rc);
    else
        reportError("Error when writing second datas.", "Erreur de restitution des données bis n°", rc);
    return false;
}

void WaveEngine::stopCapture() {
    if (!captureOpened_) return;
    if (const int rc = api_.reset(WaveDirection::Capture, captureHandle_); rc != kWaveOk) {
        const std::string n = codeText(rc);
        messages_.showError("Error when stopping sampling n°" + n + ".\r\nIncrease the latency time.",
                            "Erreur lors de l'arrêt de l'échantillonnage n°" + n + ".\r\nAugmenter le temps de latence.");
        return;
    }
    api_.unprepareHeader(WaveDirection::Capture, captureHandle_, *capture_[1]);
    api_.unprepareHeader(WaveDirection::Capture, captureHandle_, *capture_[0]);
    if (const int rc = api_.close(WaveDirection::Capture, captureHandle_); rc != kWaveOk)
        reportError("Error when closing input device n°", "Erreur lors de fermeture du device d'entrée n°", rc);
    capture_ = {};
    captureOpened_ = false;
}

void WaveEngine::stopPlayback() {
    if (!playbackOpened_) return;
    // A device that could not be stopped may still be playing its buffers: they stay ours
    // until a later stop succeeds, as on the capture side.
    if (const int rc = api_.reset(WaveDirection::Playback, playbackHandle_); rc != kWaveOk) {
        reportError("Error when stopping datas writing n°", "Erreur d'arrêt de restitution des données n°", rc);
        return;
    }
    api_.unprepareHeader(WaveDirection::Playback, playbackHandle_, *playback_[0]);
    api_.unprepareHeader(WaveDirection::Playback, playbackHandle_, *playback_[1]);
    if (const int rc = api_.close(WaveDirection::Playback, playbackHandle_); rc != kWaveOk)
        reportError("Error when closing output device n°", "Erreur lors de fermeture du device de sortie n°", rc);
    playback_ = {};
    playbackOpened_ = false;
    tone_ = nullptr;
}

void WaveEngine::stopAllSound() {
    outputFilling_ = {};
    capture[0].copying = false;
    capture[1].copying = false;
    lastCaptureBuffer_ = 1;
    lastSeenCaptureBuffer_ = 20;
    captureCount_ = 0;
    stopCapture();
    stopPlayback();
}

void WaveEngine::pollCapture() {
    if (!captureOpened_) return;
    // Up to three completions, starting with the buffer expected next: the device fills
    // them in turn, so this collects them oldest first.
    const int first = nextCaptureBuffer_;
    for (const int k : {first, otherBuffer(first), first}) {
        if (captureHeader(k).bytesRecorded.load(std::memory_order_acquire) !=
            static_cast<std::uint32_t>(sizes_.captureBufferBytes))
            continue;
        CaptureSlot& slot = capture[index(k)];
        slot.copying = true;
        controls_.setText("Label_RX", std::to_string(k));
        nextCaptureBuffer_ = otherBuffer(k);
        if (!slot.queued) {
            // Its last re-queue failed: its contents were taken already. Queue it again
            // and end the poll.
            if (addCaptureBuffer(k) == kWaveOk) slot.queued = true;
            slot.copying = false;
            return;
        }
        collectCaptureBuffer(k);
    }
}

void WaveEngine::collectCaptureBuffer(int k) {
    CaptureSlot& slot = capture[index(k)];
    const auto bytes = std::span<const std::uint8_t>(captureHeader(k).data)
                           .first(static_cast<std::size_t>(sizes_.captureBufferBytes));
    // Appended, never replacing: when one poll collects several buffers none is lost.
    // The receive card's I/Q goes to the backlog; the microphone keeps its last two buffers.
    SampleFifo<std::int16_t>& into = sizes_.captureStereo ? rxBacklog_ : micHistory_;
    if (!sizes_.captureStereo && micHistory_.size() > bytes.size() / 2) micHistory_.removeFirst(bytes.size() / 2);
    into.appendLittleEndian(bytes);

    bool queued = addCaptureBuffer(k) == kWaveOk;
    for (int retry = 0; retry < 3 && !queued; ++retry) {
        clock_.delayMs(1);
        queued = addCaptureBuffer(k) == kWaveOk;
    }
    slot.queued = queued;
    slot.ready = queued;
    slot.copying = false;
    lastCaptureBuffer_ = k;
    ++captureCount_;
    if (sizes_.captureStereo)
        receiveClock_.add(static_cast<double>(clock_.nowMs()) / 1000.0,
                          sizes_.captureBufferBytes / sizes_.captureFrameBytes());
}

bool WaveEngine::finishCapturedBuffer(int k) {
    capture[index(k)].ready = false;
    if (lastCaptureBuffer_ == lastSeenCaptureBuffer_) return true;
    controls_.setVisible("detecte_PC_pb_RX", false);
    lastSeenCaptureBuffer_ = lastCaptureBuffer_;
    return false;
}

void WaveEngine::dropCapturedBuffer(int k) {
    capture[index(k)].ready = false;
    lastSeenCaptureBuffer_ = lastCaptureBuffer_;
}

std::optional<double> WaveEngine::clockDriftPpm() const {
    const auto receive = receiveClock_.rate();
    const auto speaker = speakerClock_.rate();
    if (!receive || !speaker || !playbackOpened_ || playbackIsTxCard_) return std::nullopt;
    const double speakerRatio = *speaker / playbackFormat_.samplesPerSecond;
    const double receiveRatio = *receive / captureFormat_.samplesPerSecond;
    return (speakerRatio / receiveRatio - 1.0) * 1e6;
}

void WaveEngine::cutBacklogBeyondOneSecond() {
    const auto channels = static_cast<std::size_t>(sizes_.captureChannels());
    const auto oneSecond = static_cast<std::size_t>(sizes_.captureRate);
    if (rxBacklog_.size() / channels > oneSecond) rxBacklog_.removeFirst(oneSecond * channels);
}

void WaveEngine::regulateSpeakerQueue() {
    const int bufferSamples = sizes_.outBufferBytes / 2;
    const auto length = static_cast<int>(speaker_.size());
    const int percent = length * 100 / bufferSamples;
    if (percent > 250) {
        speaker_.truncate(static_cast<std::size_t>((sizes_.outBufferBytes * 250 / 2) / 100));
    } else if (percent < 170) {
        const int target = (bufferSamples * 17) / 10;
        if (target > length) speaker_.appendRepeated(0, static_cast<std::size_t>(target - length));
    }
}

void WaveEngine::feedPlayback(bool testTone) {
    if (!playbackOpened_) return;
    notePlayedBuffers();
    const auto wholeBufferQueued = [&] {
        if (!playbackIsTxCard_) return speaker_.size() >= static_cast<std::size_t>(sizes_.outBufferBytes / 2);
        if (testTone) return true;
        return txFrames() >= static_cast<std::size_t>(sizes_.outBufferBytes / 4);
    };
    const int first = nextOutputBuffer_;
    for (const int k : {first, otherBuffer(first), first}) {
        if (!wholeBufferQueued()) return;
        const std::uint32_t flags = playbackHeader(k).flags.load(std::memory_order_acquire);
        const bool free = (flags & (kWaveHeaderDone | kWaveHeaderPrepared)) == (kWaveHeaderDone | kWaveHeaderPrepared);
        if (k == nextOutputBuffer_ && free) refillPlaybackBuffer(k, testTone);
    }
}

void WaveEngine::notePlayedBuffers() {
    if (playbackIsTxCard_) return;
    // A buffer is timed when it is first seen played, not when it is refilled: a refill
    // waits for the queue, the card does not.
    for (const int k : {1, 2}) {
        const bool done = playbackHeader(k).flags.load(std::memory_order_acquire) & kWaveHeaderDone;
        if (!done || playedSeen_[index(k)]) continue;
        playedSeen_[index(k)] = true;
        speakerClock_.add(static_cast<double>(clock_.nowMs()) / 1000.0, sizes_.outBufferBytes / 2);
    }
}

void WaveEngine::refillPlaybackBuffer(int k, bool testTone) {
    nextOutputBuffer_ = otherBuffer(k);
    outputFilling_[index(k)] = true;
    controls_.setText("Label_TX", std::to_string(k));
    auto& data = playbackHeader(k).data;
    // Samples leave as 16-bit little-endian, as a card takes them.
    const auto store = [&](SampleFifo<std::int16_t>& queue, std::size_t samples) {
        const auto taken = queue.first(samples);
        for (std::size_t i = 0; i < taken.size(); ++i) {
            const auto bits = static_cast<std::uint16_t>(taken[i]);
            data[2 * i] = static_cast<std::uint8_t>(bits & 0xFF);
            data[2 * i + 1] = static_cast<std::uint8_t>(bits >> 8);
        }
        queue.removeFirst(samples);
    };
    if (!playbackIsTxCard_) {
        store(speaker_, static_cast<std::size_t>(sizes_.outBufferBytes / 2));
        controls_.setVisible("detecte_PC_pb_TX", false);
        refillLevelSum_ += static_cast<std::int64_t>(speaker_.size());
        ++refillCount_;
    } else if (!testTone) {
        store(tx_, static_cast<std::size_t>(sizes_.outBufferBytes / 4) * 2);
    } else {
        toneFrames_.resize(static_cast<std::size_t>(sizes_.outBufferBytes / 4) * 2);
        if (tone_) tone_->fill(toneFrames_);
        else std::fill(toneFrames_.begin(), toneFrames_.end(), 0);
        for (std::size_t i = 0; i < toneFrames_.size(); ++i) {
            const auto bits = static_cast<std::uint16_t>(toneFrames_[i]);
            data[2 * i] = static_cast<std::uint8_t>(bits & 0xFF);
            data[2 * i + 1] = static_cast<std::uint8_t>(bits >> 8);
        }
    }
    writePlayback(k);
    outputFilling_[index(k)] = false;
}

}  // namespace orv
