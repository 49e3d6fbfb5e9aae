#include "core/buffer_sizes.hpp"

#include <algorithm>

namespace orv {

namespace {
bool elevenKFamily(int fee) { return fee == 44100 || fee == 11025; }
}  // namespace

int nominalOutputRate(int fee, bool fesEqualsFee) {
    if (fesEqualsFee) return fee;
    if (fee >= 96000) return 24000;
    return elevenKFamily(fee) ? 11025 : 12000;
}

int microphoneRate(int fee) { return elevenKFamily(fee) ? 11025 : 12000; }

void computeReceiveBuffers(ProcessingState& s) {
    s.fes = nominalOutputRate(s.fee, s.fesEqualsFee);
    s.outBufferBytes = (s.fes * s.latencySetting / 40) * 2;
    s.buffersPerSecond = s.fes / (s.outBufferBytes / 2);
    s.captureBufferBytes = ((s.captureFrameBytes() * s.captureRate) / (2 * s.fes)) * s.outBufferBytes;
}

void computeTransmitBuffers(ProcessingState& s, bool withoutMicrophone) {
    s.outBufferBytes = std::min((s.fee * s.latencySetting / 40) * 4, (s.fee / 3) * 4);
    if (withoutMicrophone) return;
    s.micRate = microphoneRate(s.fee);
    s.captureBufferBytes = (s.outBufferBytes / (s.fee / s.micRate)) / 2;
}

}  // namespace orv
