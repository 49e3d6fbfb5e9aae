#include "sound/buffer_sizes.hpp"

namespace orv {

void computeReceiveBuffers(BufferSizes& s) {
    const int fes = s.fes();
    s.outBufferBytes = (fes * s.latencySetting / 40) * 2;
    s.buffersPerSecond = fes / (s.outBufferBytes / 2);
    s.captureBufferBytes = ((s.captureFrameBytes() * s.captureRate) / (2 * fes)) * s.outBufferBytes;
}

}  // namespace orv
