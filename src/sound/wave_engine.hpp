#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "core/processing_state.hpp"
#include "sound/wave_api.hpp"
#include "ui/controls_model.hpp"
#include "ui/message_window.hpp"

namespace orv {

// The card byte of the default card; it opens device 0.
inline constexpr std::uint8_t kDefaultCard = 99;

// Opens, primes, stops and reports the one capture and the one playback device, each
// with two buffers used alternately and polled by the main cycle.
class WaveEngine {
public:
    WaveEngine(ProcessingState& state, WaveApi& api, MessageWindow& messages, ControlsModel& controls)
        : s_(state), api_(api), messages_(messages), controls_(controls) {}
    ~WaveEngine();

    // Opens the capture device at captureRate with both buffers queued, and starts it.
    void openCapture(std::uint8_t card);
    // Opens the playback device, primes the queues and both buffers with silence and
    // writes both buffers. False when the device cannot be opened or a buffer cannot be
    // prepared or written.
    bool openPlayback(bool stereo);
    void stopCapture();
    void stopPlayback();
    // Resets the hand-over state, then stops capture and playback.
    void stopAllSound();

    bool captureOpened() const { return captureOpened_; }
    bool playbackOpened() const { return playbackOpened_; }
    int adaptedOutputRate() const { return adaptedOutputRate_; }
    const WaveFormat& captureFormat() const { return captureFormat_; }
    const WaveFormat& playbackFormat() const { return playbackFormat_; }

    // Buffer k (1 or 2) of each side while it is open.
    WaveHeader& captureHeader(int k) { return *capture_[index(k)]; }
    WaveHeader& playbackHeader(int k) { return *playback_[index(k)]; }
    int addCaptureBuffer(int k);
    // Writes playback buffer k, reporting a failure; "still playing" counts as success.
    bool writePlayback(int k);

    static int deviceIndex(std::uint8_t card) { return card == kDefaultCard ? 0 : card; }

private:
    using Buffers = std::array<std::unique_ptr<WaveHeader>, 2>;
    static std::size_t index(int k) { return static_cast<std::size_t>(k - 1); }
    bool allocate(Buffers& buffers, int bytes, bool capture);
    void primeSilence(bool stereo);
    void reportError(const char* english, const char* french, int code);

    ProcessingState& s_;
    WaveApi& api_;
    MessageWindow& messages_;
    ControlsModel& controls_;

    Buffers capture_;
    Buffers playback_;
    WaveFormat captureFormat_;
    WaveFormat playbackFormat_;
    WaveApi::Handle captureHandle_ = -1;
    WaveApi::Handle playbackHandle_ = -1;
    bool captureOpened_ = false;
    bool playbackOpened_ = false;
    int adaptedOutputRate_ = 0;
};

}  // namespace orv
