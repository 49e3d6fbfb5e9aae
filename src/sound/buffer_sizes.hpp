#pragma once

#include "dsp/rates.hpp"

namespace orv {

// The rates and buffer sizes of the open devices. One buffer of either direction lasts
// latencySetting × 25 ms.
struct BufferSizes {
    int fee = 44100;            // capture rate chosen for the receive card
    bool fesEqualsFee = false;  // Fes_egale_Fee is down
    int captureRate = 44100;    // rate of the capture device now open
    int micRate = 11025;        // microphone capture rate during voice transmission
    int latencySetting = 2;     // 2 to 20
    int outBufferBytes = 0;
    int captureBufferBytes = 0;
    int buffersPerSecond = 0;
    bool captureStereo = true;  // left = I, right = Q; mono while the microphone is captured

    // The output rate: speaker and link audio.
    int fes() const { return nominalOutputRate(fee, fesEqualsFee); }
    // Samples per processing block: 1024 at 12000 and below.
    int blockLength() const { return fee <= 12000 ? 1024 : 2048; }
    int captureChannels() const { return captureStereo ? 2 : 1; }
    int captureFrameBytes() const { return 2 * captureChannels(); }
};

// Samples handed to the receive chain per call.
inline constexpr int kHalfBlock = 1024;

// Receive sizes: one capture buffer and one playback buffer last the same time, so one
// capture completion is matched by one playback refill. Integer arithmetic in the order
// written; the frame ratio is evaluated first so it is a whole number.
//   outBufferBytes     := (fes × latency / 40) × 2            (16-bit mono speaker)
//   buffersPerSecond   := fes / (outBufferBytes / 2)
//   captureBufferBytes := ((frameBytes × captureRate) / (2 × fes)) × outBufferBytes
void computeReceiveBuffers(BufferSizes& s);

}  // namespace orv
