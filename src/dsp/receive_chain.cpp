#include "dsp/receive_chain.hpp"

namespace orv {

void ReceiveChain::convertHalfBlock(std::span<const std::uint8_t> raw, int firstFrame, int count, int channel,
                                    bool stereo) {
    const std::size_t frameBytes = stereo ? 4 : 2;
    const std::size_t channelOffset = channel == 2 ? 2 : 0;
    auto& samples = channel == 2 ? captureQ : captureI;
    auto& display = channel == 2 ? displayQ : displayI;
    for (int i = 0; i < count; ++i) {
        const std::size_t at = static_cast<std::size_t>(firstFrame + i) * frameBytes + channelOffset;
        const auto value = static_cast<std::int16_t>(raw[at] | (raw[at + 1] << 8));
        samples[static_cast<std::size_t>(i)] = value;
        display[static_cast<std::size_t>(i)] = value;
    }
}

void ReceiveChain::correctIq(int /*count*/) {}

void ReceiveChain::processHalfBlock(int count, int fee, int fes, std::vector<std::int16_t>& audio) {
    for (int i = 0; i < count; ++i)
        if (outputStep_.step(fee, fes)) audio.push_back(0);
}

}  // namespace orv
