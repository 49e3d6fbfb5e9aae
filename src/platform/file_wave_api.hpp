#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/recording.hpp"
#include "ui/clock.hpp"
#include "sound/wave_api.hpp"

struct sf_private_tag;
using sf_count_t = std::int64_t;

namespace orv {

// Sound devices made of files, paced by the clock: a recording replayed as the one
// capture device and a WAV file (or nowhere) as the one playback device. A capture
// buffer completes when the clock has passed its duration since the start, a playback
// buffer when the clock has passed its duration since it began to play, as on a card.
// Used with the virtual clock, the station runs as fast as the processor allows.
class FileWaveApi final : public WaveApi {
public:
    // With `loop` the recording starts again at its end instead of ending. Messages name
    // the output `shownAs` when given (the file the output will become), else its path.
    FileWaveApi(Clock& clock, std::optional<Recording> recording, std::string outputPath, bool loop = false,
                std::string shownAs = {});
    ~FileWaveApi() override;

    // Moves the devices on to the clock's present: completes what is due.
    void pump();
    // After the recording's last frame, capture goes on with `frames` frames of silence
    // (whole buffers), so what the processing still holds of the recording comes out.
    void setDrain(std::int64_t frames) { drainFrames_ = frames; }
    // A clock error of the device in parts per million (a test aid: two cards never run
    // at quite the same rate). Positive: the device runs fast.
    void setClockErrorPpm(double ppm) { ppm_ = ppm; }
    // The recording's frames are all delivered: what capture gives now is silence.
    bool draining() const { return draining_; }
    // The recording has delivered its last buffer (and the silence after it).
    bool recordingEnded() const { return ended_; }
    bool playbackIdle() const { return playing_.empty(); }
    std::int64_t framesWritten() const { return framesWritten_; }
    // The rate the output file is written at (0 before anything was played).
    int outputRate() const { return outputFormat_.samplesPerSecond; }
    // Completes the output file (an empty WAV when nothing was played). False, with a
    // failure, when it cannot be written.
    bool finishOutput();
    // What went wrong with the output file, empty while all is well.
    const Bilingual& failure() const { return failure_; }

    int deviceCount(WaveDirection dir) override;
    int deviceName(WaveDirection dir, int index, std::string& name) override;
    int open(WaveDirection dir, Handle& handle, int device, const WaveFormat& format) override;
    int prepareHeader(WaveDirection dir, Handle handle, WaveHeader& header) override;
    int unprepareHeader(WaveDirection dir, Handle handle, WaveHeader& header) override;
    int addBuffer(Handle handle, WaveHeader& header) override;
    int write(Handle handle, WaveHeader& header) override;
    int start(Handle handle) override;
    int reset(WaveDirection dir, Handle handle) override;
    int close(WaveDirection dir, Handle handle) override;

private:
    static constexpr Handle kCaptureHandle = 1;
    static constexpr Handle kPlaybackHandle = 2;
    void pumpCapture();
    void pumpPlayback();
    bool fillFromRecording(WaveHeader& header);
    sf_count_t readFrames(short* into, sf_count_t frames);
    bool openOutput();

    Clock& clock_;
    std::optional<Recording> recording_;
    std::string outputPath_;
    bool loop_ = false;
    std::string shownPath_;

    void fail(const std::string& english, const std::string& french);

    sf_private_tag* input_ = nullptr;  // the recording's own handle while capture is open
    bool captureOpen_ = false;
    bool captureStarted_ = false;
    bool ended_ = false;
    std::int64_t drainFrames_ = 0;
    bool draining_ = false;
    std::int64_t drainLeft_ = 0;
    std::int64_t captureStartMs_ = 0;
    std::int64_t framesCaptured_ = 0;
    std::deque<WaveHeader*> captureQueue_;

    sf_private_tag* output_ = nullptr;
    bool playbackOpen_ = false;
    WaveFormat playbackFormat_;
    WaveFormat outputFormat_;
    std::int64_t playbackFreeAtMs_ = 0;  // when the device has played all written so far
    std::int64_t playbackRunStartMs_ = 0;
    std::int64_t playbackRunFrames_ = 0;
    double ppm_ = 0;
    std::deque<std::pair<WaveHeader*, std::int64_t>> playing_;  // buffer, time it is done
    std::int64_t framesWritten_ = 0;
    Bilingual failure_;
    std::vector<short> scratch_;  // one buffer's samples in host order, reused
    // Played samples not yet in the file: written half a second at a time, so the file
    // sees a few large writes (and header updates) rather than one per buffer.
    std::vector<short> pending_;
    bool flushPending();
};

}  // namespace orv
