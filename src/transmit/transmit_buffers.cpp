#include "transmit/transmit_buffers.hpp"

#include <algorithm>

namespace orv {

int microphoneRate(int fee) { return fee == 44100 || fee == 11025 ? 11025 : 12000; }

void computeTransmitBuffers(BufferSizes& s, bool withoutMicrophone) {
    s.outBufferBytes = std::min((s.fee * s.latencySetting / 40) * 4, (s.fee / 3) * 4);
    if (withoutMicrophone) return;
    s.micRate = microphoneRate(s.fee);
    s.captureBufferBytes = (s.outBufferBytes / (s.fee / s.micRate)) / 2;
}

}  // namespace orv
