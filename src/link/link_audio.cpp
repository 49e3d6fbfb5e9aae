#include "link/link_audio.hpp"

#include "link/link_protocol.hpp"

namespace orv {

void LinkAudioSender::restart() {
    count_ = 0;
    block_.assign(kBlock11k, 0);
}

void LinkAudioSender::setOut48k(bool on) {
    out48k_ = on;
    block_.resize(on ? kBlock48k : kBlock11k);
    if (count_ > block_.size()) count_ = block_.size();
}

void LinkAudioSender::store(std::uint8_t byte, std::vector<std::vector<std::uint8_t>>& blocks) {
    if (++count_ > block_.size()) {
        blocks.push_back(block_);
        count_ = 1;
    }
    block_[count_ - 1] = byte;
}

void LinkAudioSender::addValue(std::int32_t y, int fes, std::vector<std::vector<std::uint8_t>>& blocks) {
    const std::uint8_t b = linkAudioByte(y);
    if (!out48k_) {
        // 11025 samples/s: every sample at that rate, else a thinning without filter.
        if (fes == 11025 || (fes > 11025 && thin_.step(fes, 11025))) store(b, blocks);
        return;
    }
    const int p = lastByte_;
    const int d = b - p;
    for (const int step : {p + d / 4, p + d / 2, p + 3 * d / 4, static_cast<int>(b)})
        store(static_cast<std::uint8_t>(step), blocks);
    lastByte_ = b;
}

}  // namespace orv
