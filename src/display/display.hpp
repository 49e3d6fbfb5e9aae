#pragma once

#include <cstdint>
#include <span>

namespace orv {

// The waterfall side of the receive path. It counts the blocks handed to it; the
// spectrum, the waterfall and the level meter are drawn from these blocks.
class Display {
public:
    void initDisplay() { blocks_ = 0; }
    void updateDisplay(std::span<const std::int32_t> i, std::span<const std::int32_t> q) {
        (void)i;
        (void)q;
        ++blocks_;
    }
    std::int64_t blocksShown() const { return blocks_; }

private:
    std::int64_t blocks_ = 0;
};

}  // namespace orv
