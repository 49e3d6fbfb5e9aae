#pragma once

#include <cstdint>
#include <span>

namespace orv {

// The transmit modulator's entry points called by the main cycle. No modulator is
// built yet, so the station offers no way to start a transmission and these receive
// nothing in use; what they are handed is dropped, never sent to a card.
class TransmitChain {
public:
    void modulateTxAudio(std::span<const std::uint8_t> audio) { (void)audio; }
};

}  // namespace orv
