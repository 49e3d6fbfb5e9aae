#include "sound/wave_engine.hpp"

#include <new>
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
    captureFormat_ = WaveFormat{s_.captureStereo ? 2 : 1, s_.captureRate, 16};
    if (!allocate(capture_, s_.captureBufferBytes, true)) {
        capture_ = {};
        return;
    }
    // The open's result does not stop the sequence: when it failed the prepare fails
    // too and its message carries the platform's number.
    captureHandle_ = -1;
    api_.open(WaveDirection::Capture, captureHandle_, deviceIndex(card), captureFormat_);
    if (int rc = api_.prepareHeader(WaveDirection::Capture, captureHandle_, *capture_[0]); rc != kWaveOk) {
        reportError("Error when preparing sampling header n°:", "Erreur préparation header éch. n°:", rc);
    } else if (rc = api_.prepareHeader(WaveDirection::Capture, captureHandle_, *capture_[1]); rc != kWaveOk) {
        reportError("Error when preparing second sampling header n°:", "Erreur préparation header bis éch. n°:", rc);
    } else if (api_.addBuffer(captureHandle_, *capture_[0]) == kWaveOk) {
        api_.addBuffer(captureHandle_, *capture_[1]);
    }
    if (const int rc = api_.start(captureHandle_); rc != kWaveOk)
        reportError("Error when sampling n°", "Erreur lors de l'échantillonnage n°", rc);
    captureOpened_ = true;
    s_.capture[0].queued = true;
    s_.capture[1].queued = true;
}

bool WaveEngine::openPlayback(bool stereo) {
    if (playbackOpened_) stopPlayback();
    if (playbackOpened_) return false;
    s_.outputIsTxCard = stereo;
    playbackFormat_ = WaveFormat{stereo ? 2 : 1, s_.fes, 16};
    if (!allocate(playback_, s_.outBufferBytes, false)) {
        playback_ = {};
        return false;
    }
    const bool txCard = s_.txInProgress || s_.testToneActive;
    playbackHandle_ = -1;
    if (api_.open(WaveDirection::Playback, playbackHandle_, deviceIndex(txCard ? s_.txCard : s_.speakerCard),
                  playbackFormat_) != kWaveOk) {
        playback_ = {};
        return false;
    }
    playbackOpened_ = true;
    primeSilence(stereo);
    for (auto& header : playback_) {
        if (api_.prepareHeader(WaveDirection::Playback, playbackHandle_, *header) != kWaveOk) {
            controls_.setVisible("detecte_PC_pb_TX", true);
            stopAllSound();
            for (auto& slot : s_.capture) slot.ready = false;
            return false;
        }
    }
    if (!writePlayback(1) || !writePlayback(2)) return false;
    if (s_.fesEqualsFee) s_.fes = s_.fee;
    adaptedOutputRate_ = s_.fes;
    return true;
}

void WaveEngine::primeSilence(bool stereo) {
    s_.speaker.clear();
    if (stereo) {
        s_.tx.appendSilence(static_cast<std::size_t>(2 * (s_.outBufferBytes / 4)));
        return;
    }
    // 2.0, 2.3 or 2.7 buffers of silence ahead of the first real audio.
    const int tenths = s_.txInProgress ? 20 : (s_.fee > 12000 ? 23 : 27);
    s_.speaker.appendSilence(static_cast<std::size_t>(tenths * (s_.outBufferBytes / 2) / 10));
}

int WaveEngine::addCaptureBuffer(int k) { return api_.addBuffer(captureHandle_, captureHeader(k)); }

bool WaveEngine::writePlayback(int k) {
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
    if (const int rc = api_.reset(WaveDirection::Playback, playbackHandle_); rc != kWaveOk)
        reportError("Error when stopping datas writing n°", "Erreur d'arrêt de restitution des données n°", rc);
    api_.unprepareHeader(WaveDirection::Playback, playbackHandle_, *playback_[0]);
    api_.unprepareHeader(WaveDirection::Playback, playbackHandle_, *playback_[1]);
    if (const int rc = api_.close(WaveDirection::Playback, playbackHandle_); rc != kWaveOk)
        reportError("Error when closing output device n°", "Erreur lors de fermeture du device de sortie n°", rc);
    playback_ = {};
    playbackOpened_ = false;
}

void WaveEngine::stopAllSound() {
    s_.processingRunning = false;
    s_.outputFilling = {};
    s_.capture[0].copying = false;
    s_.capture[1].copying = false;
    s_.lastCaptureBuffer = 1;
    s_.lastSeenCaptureBuffer = 20;
    s_.captureCount = 0;
    s_.captureCountSeen = 20;
    stopCapture();
    stopPlayback();
}

}  // namespace orv
