#pragma once

#include "sound/buffer_sizes.hpp"

namespace orv {

// The microphone capture rate that goes with a capture rate.
int microphoneRate(int fee);

// Transmit sizes (16-bit stereo TX card), capped at one third of a second:
//   outBufferBytes := min((fee × latency / 40) × 4, (fee / 3) × 4)
// With the microphone also micRate (11025 for the 11025 family, else 12000) and
//   captureBufferBytes := (outBufferBytes / (fee / micRate)) / 2  (16-bit mono, same duration)
void computeTransmitBuffers(BufferSizes& s, bool withoutMicrophone);

}  // namespace orv
