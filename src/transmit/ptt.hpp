#pragma once

#include <cstdint>

namespace orv {

// The serial PTT as the main cycle sees it: whether the output and input ports are
// configured, the input line's state, and the delay after a voice transmission before
// the transmitter is released.
struct PttState {
    bool outputPort = false;
    bool inputPort = false;
    bool inputState = false;
    bool inputPrevious = false;
    bool releaseWaiting = false;
    std::int64_t releaseTimeMs = 0;

    // The release delay lets the last buffers of a voice transmission reach the card:
    // latency × 100 + 50 ms.
    bool releaseDue(std::int64_t nowMs, int latencySetting) const {
        return releaseWaiting && nowMs - releaseTimeMs >= latencySetting * 100 + 50;
    }
};

}  // namespace orv
