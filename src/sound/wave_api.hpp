#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace orv {

// Result codes of the wave calls, in the waveform-audio numbering the messages report:
// 0 is success; a write may answer "still playing".
inline constexpr int kWaveOk = 0;
inline constexpr int kWaveError = 1;
inline constexpr int kWaveBadDevice = 2;
inline constexpr int kWaveAllocated = 4;
inline constexpr int kWaveInvalidHandle = 5;
inline constexpr int kWaveNoMemory = 7;
inline constexpr int kWaveBadFormat = 32;
inline constexpr int kWaveStillPlaying = 33;

// Header flag bits a playback buffer carries once the device has played it.
inline constexpr std::uint32_t kWaveHeaderDone = 1;
inline constexpr std::uint32_t kWaveHeaderPrepared = 2;

enum class WaveDirection { Capture, Playback };

// PCM format of one open: 16-bit samples (8 only in the start-up trial).
struct WaveFormat {
    int channels = 2;
    int samplesPerSecond = 44100;
    int bitsPerSample = 16;

    int blockAlign() const { return channels * (bitsPerSample / 8); }
    int averageBytesPerSecond() const { return channels * (samplesPerSecond * bitsPerSample / 8); }
};

// One buffer and its header. The driver (possibly on its own thread) fills or drains
// `data` while the buffer is queued and then publishes bytesRecorded (capture) or the
// done flag (playback); the station touches `data` only after it has seen that.
struct WaveHeader {
    explicit WaveHeader(std::size_t bytes) : data(bytes) {}
    std::vector<std::uint8_t> data;
    std::atomic<std::uint32_t> bytesRecorded{0};
    std::atomic<std::uint32_t> flags{0};
};

// The waveform-audio semantics the device engine is written against: polled buffers,
// integer result codes, two buffers per direction. Implementations: real sound cards,
// WAV files, and a scripted double for tests.
class WaveApi {
public:
    using Handle = int;

    virtual ~WaveApi() = default;
    virtual int deviceCount(WaveDirection dir) = 0;
    // The product name of device `index`; a non-zero result when the query fails.
    virtual int deviceName(WaveDirection dir, int index, std::string& name) = 0;

    virtual int open(WaveDirection dir, Handle& handle, int device, const WaveFormat& format) = 0;
    virtual int prepareHeader(WaveDirection dir, Handle handle, WaveHeader& header) = 0;
    virtual int unprepareHeader(WaveDirection dir, Handle handle, WaveHeader& header) = 0;
    // Queues a capture buffer. On success its bytesRecorded reads 0 until the device has
    // filled it; the station never clears it after the call, so a fast device's
    // completion cannot be lost. On failure the header is left as it was.
    virtual int addBuffer(Handle handle, WaveHeader& header) = 0;
    // Queues a playback buffer; its done flag is clear until the device has played it.
    virtual int write(Handle handle, WaveHeader& header) = 0;
    virtual int start(Handle handle) = 0;                          // capture
    // Stops the device and returns every queued buffer to the station.
    virtual int reset(WaveDirection dir, Handle handle) = 0;
    virtual int close(WaveDirection dir, Handle handle) = 0;
};

}  // namespace orv
