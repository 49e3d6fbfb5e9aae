#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "dsp/clock_fit.hpp"
#include "dsp/sample_fifo.hpp"
#include "sound/buffer_sizes.hpp"
#include "sound/cards.hpp"
#include "sound/wave_api.hpp"
#include "ui/clock.hpp"
#include "ui/controls_model.hpp"
#include "ui/message_window.hpp"

namespace orv {

// Hand-over state of one of the two capture buffers between the device and the cycle.
struct CaptureSlot {
    bool ready = false;    // collected and re-queued, waiting for processing
    bool copying = false;  // being collected (re-entrancy guard)
    bool queued = false;   // its last re-queue at the device succeeded
};

// What fills the TX card's buffers while the calibration tone runs: 16-bit I/Q frames,
// interleaved, generated as they are needed.
class ToneSource {
public:
    virtual ~ToneSource() = default;
    virtual void fill(std::span<std::int16_t> frames) = 0;
};

// The other buffer of a two-buffer ring; buffers are numbered 1 and 2.
constexpr int otherBuffer(int k) { return k == 1 ? 2 : 1; }

// The one capture and the one playback device, each with two buffers used alternately
// and polled by the main cycle; the sample queues that feed and drain them.
class WaveEngine {
public:
    WaveEngine(WaveApi& api, Clock& clock, MessageWindow& messages, ControlsModel& controls)
        : api_(api), clock_(clock), messages_(messages), controls_(controls) {}
    ~WaveEngine();

    BufferSizes& sizes() { return sizes_; }
    const BufferSizes& sizes() const { return sizes_; }
    CardChoices& cards() { return cards_; }
    const CardChoices& cards() const { return cards_; }

    // Both rings start again at buffer 1: the first step of every open.
    void restartBufferOrder() {
        nextCaptureBuffer_ = 1;
        nextOutputBuffer_ = 1;
    }
    // Opens the capture device at the capture rate with both buffers queued, and starts it.
    void openCapture(std::uint8_t card);
    // Opens the playback device on the speaker card (or the TX card), primes the queues and
    // both buffers with silence and writes both buffers. False when the device cannot be
    // opened or a buffer cannot be prepared or written. `transmitting` primes 2.0 buffers.
    bool openPlayback(bool stereo, bool txCard, bool transmitting);
    // Opens the TX card in stereo at 11025 with buffers of a third of a second, filled by
    // `tone` until the playback stops.
    bool openTonePlayback(ToneSource& tone);
    // Opens the microphone card: 16-bit mono at the microphone rate, history emptied.
    void openMicrophone();
    void stopCapture();
    void stopPlayback();
    // Resets the hand-over state, then stops capture and playback.
    void stopAllSound();
    // Opens the receive card in stereo at Fee and the speaker card in 8-bit mono at
    // 11025 or 12000, and closes both: whether the cards take the receive format.
    bool formatTrial();

    bool captureOpened() const { return captureOpened_; }
    bool playbackOpened() const { return playbackOpened_; }
    bool playbackIsTxCard() const { return playbackIsTxCard_; }
    const WaveFormat& captureFormat() const { return captureFormat_; }
    const WaveFormat& playbackFormat() const { return playbackFormat_; }
    // Buffer k (1 or 2) of each side while it is open.
    WaveHeader& captureHeader(int k) { return *capture_[index(k)]; }
    WaveHeader& playbackHeader(int k) { return *playback_[index(k)]; }
    const WaveHeader& captureHeader(int k) const { return *capture_[index(k)]; }
    const WaveHeader& playbackHeader(int k) const { return *playback_[index(k)]; }

    // Collects up to three completed capture buffers, oldest first, into the receive
    // backlog (stereo) or the microphone history (mono), re-queueing each.
    void pollCapture();
    const CaptureSlot& captureSlot(int k) const { return capture[index(k)]; }
    bool anyCaptureCopying() const { return capture[0].copying || capture[1].copying; }
    // Capture buffer k has been processed. True when more than one buffer completed since
    // the previous one was processed: the cycle is behind.
    bool finishCapturedBuffer(int k);
    // Marks capture buffer k taken without processing (during a voice transmission).
    void dropCapturedBuffer(int k);
    int captureCount() const { return captureCount_; }
    int lastCaptureBuffer() const { return lastCaptureBuffer_; }
    int lastSeenCaptureBuffer() const { return lastSeenCaptureBuffer_; }

    // Refills the playback buffers that are free, in turn, while a whole buffer is
    // queued. The test tone's buffers are filled with silence until its oscillator exists.
    void feedPlayback(bool testTone);
    bool anyOutputFilling() const { return outputFilling_[0] || outputFilling_[1]; }
    // Holds the speaker queue between 170 % and 250 % of one playback buffer.
    void regulateSpeakerQueue();

    // Raw capture of the receive card waiting to be cut into blocks (interleaved I, Q).
    SampleFifo<std::int16_t>& rxBacklog() { return rxBacklog_; }
    const SampleFifo<std::int16_t>& rxBacklog() const { return rxBacklog_; }
    // Drops one second of the backlog when it holds more than a second.
    void cutBacklogBeyondOneSecond();
    // The most recent microphone buffers (two at most), emptied as they are processed.
    SampleFifo<std::int16_t>& micHistory() { return micHistory_; }
    const SampleFifo<std::int16_t>& micHistory() const { return micHistory_; }
    // 16-bit mono at Fes for the speaker card.
    SampleFifo<std::int16_t>& speakerQueue() { return speaker_; }
    const SampleFifo<std::int16_t>& speakerQueue() const { return speaker_; }
    // 16-bit I/Q at Fee for the TX card, interleaved.
    SampleFifo<std::int16_t>& txQueue() { return tx_; }
    std::size_t txFrames() const { return tx_.size() / 2; }

    // Refill statistics read by the output-rate regulation.
    std::int64_t refillLevelSum() const { return refillLevelSum_; }
    std::int32_t refillCount() const { return refillCount_; }
    void clearRefillStatistics() {
        refillLevelSum_ = 0;
        refillCount_ = 0;
    }
    // How fast the speaker card runs against the receive card, in parts per million
    // (positive: the speaker card is fast), from when their buffers complete; nothing
    // until both have been running for a minute.
    std::optional<double> clockDriftPpm() const;
    // The receive queues emptied: the restart pattern.
    void clearReceiveQueues() { rxBacklog_.clear(); }

private:
    using Buffers = std::array<std::unique_ptr<WaveHeader>, 2>;
    static std::size_t index(int k) { return static_cast<std::size_t>(k - 1); }
    bool allocate(Buffers& buffers, int bytes, bool capture);
    void primeSilence(bool stereo, bool transmitting);
    void reportError(const char* english, const char* french, int code);
    int addCaptureBuffer(int k) { return api_.addBuffer(captureHandle_, captureHeader(k)); }
    void collectCaptureBuffer(int k);
    bool openPlayback(bool stereo, bool txCard, bool transmitting, int rate);
    void refillPlaybackBuffer(int k, bool testTone);
    // Times the playback buffers the speaker card has finished since they were written.
    void notePlayedBuffers();
    // Writes playback buffer k, reporting a failure; "still playing" counts as success.
    bool writePlayback(int k);

    WaveApi& api_;
    Clock& clock_;
    MessageWindow& messages_;
    ControlsModel& controls_;
    BufferSizes sizes_;
    CardChoices cards_;

    Buffers capture_;
    Buffers playback_;
    WaveFormat captureFormat_;
    WaveFormat playbackFormat_;
    WaveApi::Handle captureHandle_ = -1;
    WaveApi::Handle playbackHandle_ = -1;
    bool captureOpened_ = false;
    bool playbackOpened_ = false;
    bool playbackIsTxCard_ = false;
    ToneSource* tone_ = nullptr;  // while the calibration tone plays

    std::array<CaptureSlot, 2> capture{};
    int nextCaptureBuffer_ = 1;
    int lastCaptureBuffer_ = 1;
    int lastSeenCaptureBuffer_ = 20;  // 20: no buffer
    int captureCount_ = 0;
    int nextOutputBuffer_ = 1;
    std::array<bool, 2> outputFilling_{};

    SampleFifo<std::int16_t> rxBacklog_;
    SampleFifo<std::int16_t> micHistory_;
    SampleFifo<std::int16_t> speaker_;
    SampleFifo<std::int16_t> tx_;
    std::vector<std::int16_t> toneFrames_;
    std::int64_t refillLevelSum_ = 0;
    std::int32_t refillCount_ = 0;
    ClockFit receiveClock_;  // the receive card's capture, while it is open
    ClockFit speakerClock_;  // the speaker card's playback, while it is open
    std::array<bool, 2> playedSeen_{};  // buffer k's completion already timed
};

}  // namespace orv
