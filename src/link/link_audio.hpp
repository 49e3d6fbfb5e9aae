#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "dsp/rate_step.hpp"

namespace orv {

// The receive audio sent to the client: 8-bit samples in blocks of exactly 500 bytes
// (11K: the output thinned to 11025 samples/s) or 2200 bytes (48K: four bytes a sample,
// interpolated from the previous byte). A block is handed on when the byte after it
// arrives; a part-filled block waits through a transmission.
class LinkAudioSender {
public:
    static constexpr std::size_t kBlock11k = 500;
    static constexpr std::size_t kBlock48k = 2200;

    // A new link or client: an empty block of 500 bytes.
    void restart();
    // The F frame's mode: the block length follows it.
    void setOut48k(bool on);
    bool out48k() const { return out48k_; }
    std::size_t blockLength() const { return block_.size(); }

    // One receive value at `fes`; whole blocks completed are appended to `blocks`.
    void addValue(std::int32_t y, int fes, std::vector<std::vector<std::uint8_t>>& blocks);

private:
    void store(std::uint8_t byte, std::vector<std::vector<std::uint8_t>>& blocks);

    bool out48k_ = false;
    std::vector<std::uint8_t> block_ = std::vector<std::uint8_t>(kBlock11k);
    std::size_t count_ = 0;
    std::uint8_t lastByte_ = 0;
    RateStep thin_;
};

}  // namespace orv
