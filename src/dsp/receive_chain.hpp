#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "dsp/rate_step.hpp"

namespace orv {

// Sample arrays of the receive path: 16-bit-range values, index 0 the oldest.
inline constexpr std::size_t kSampleCapacity = 4097;
using SampleArray = std::array<std::int32_t, kSampleCapacity>;

// The receive chain between a captured half block and the speaker audio.
// Today it converts the capture bytes and paces the output: it hands the speaker
// silence at the output rate, so the queues and playback run as they will with
// demodulated audio. Mixing, filtering and demodulation take its place.
class ReceiveChain {
public:
    SampleArray captureI{};
    SampleArray captureQ{};
    SampleArray displayI{};
    SampleArray displayQ{};
    SampleArray blockI{};
    SampleArray blockQ{};

    // Converts `count` samples of one channel (1 left, 2 right) from raw 16-bit
    // little-endian capture bytes, starting at frame `firstFrame`, into captureI or
    // captureQ and the matching display array.
    void convertHalfBlock(std::span<const std::uint8_t> raw, int firstFrame, int count, int channel, bool stereo);
    // Receive I/Q correction of the half block; neutral until calibrated.
    void correctIq(int count);
    // Runs blockI/blockQ through the chain and appends the audio at `fes` to `audio`.
    void processHalfBlock(int count, int fee, int fes, std::vector<std::int16_t>& audio);
    // Forgets the resampling state (fill counters and decimator sums).
    void reset() { outputStep_.reset(); }

private:
    RateStep outputStep_;
};

}  // namespace orv
