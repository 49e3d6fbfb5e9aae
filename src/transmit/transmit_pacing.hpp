#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "dsp/sample_fifo.hpp"

namespace orv {

// Keeps the microphone's 8-bit backlog steady: each chunk handed to the modulator is
// lengthened or shortened by one sample from the trend of the last 20 backlog readings
// (in thousandths of one capture buffer), and halved when far behind.
class VoiceLevelHistory {
public:
    static constexpr std::int32_t kStartLevel = 1100;

    VoiceLevelHistory() { fill(kStartLevel); }
    void fill(std::int32_t level) { levels_.fill(level); }

    // Takes up to n bytes from txVoice and returns them as the chunk to modulate.
    std::vector<std::uint8_t> takeChunk(SampleFifo<std::uint8_t>& txVoice, int n, int captureBufferBytes);
    std::int32_t average() const;

private:
    std::array<std::int32_t, 20> levels_{};
};

// Samples taken from txVoice per voice step: round(micRate × (outBufferBytes / 10) / fee)
// in single precision.
int voiceChunkSamples(int micRate, int outBufferBytes, int fee);

// Frames of silence that end a link transmission on whole playback buffers of q frames
// followed by two buffers of silence, given L frames queued.
constexpr std::int64_t linkEndPaddingFrames(std::int64_t queuedFrames, std::int64_t q) {
    if (queuedFrames % q != 0) return q * (queuedFrames / q + 3) - queuedFrames;
    return 2 * q;
}

}  // namespace orv
