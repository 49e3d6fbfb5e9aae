#pragma once

#include "core/processing_state.hpp"

namespace orv {

// The nominal output rate for a capture rate: 24000 from 96000 up, 11025 for the
// 11025 family, 12000 otherwise; the capture rate itself when Fes_egale_Fee is down.
int nominalOutputRate(int fee, bool fesEqualsFee);

// Receive sizes: one capture buffer and one playback buffer last the same time, so one
// capture completion is matched by one playback refill. Integer arithmetic in the order
// written; the frame ratio is evaluated first so it is a whole number.
//   fes                := nominalOutputRate(fee)
//   outBufferBytes     := (fes × latency / 40) × 2            (16-bit mono speaker)
//   buffersPerSecond   := fes / (outBufferBytes / 2)
//   captureBufferBytes := ((frameBytes × captureRate) / (2 × fes)) × outBufferBytes
void computeReceiveBuffers(ProcessingState& s);

// Transmit sizes (16-bit stereo TX card), capped at one third of a second:
//   outBufferBytes := min((fee × latency / 40) × 4, (fee / 3) × 4)
// With the microphone also micRate (11025 for the 11025 family, else 12000) and
//   captureBufferBytes := (outBufferBytes / (fee / micRate)) / 2  (16-bit mono, same duration)
void computeTransmitBuffers(ProcessingState& s, bool withoutMicrophone);

// The microphone capture rate that goes with a capture rate.
int microphoneRate(int fee);

}  // namespace orv
