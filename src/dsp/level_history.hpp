#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace orv {

// The level of the last 22 blocks: each block's RMS, their mean as a percentage of the
// RMS of a full-scale sine (23170).
class LevelHistory {
public:
    static constexpr int kBlocks = 22;

    // Adds a block's RMS and returns the mean level in percent (not limited).
    double add(std::int32_t rms) {
        std::copy(rms_.begin() + 1, rms_.end(), rms_.begin());
        rms_.back() = rms;
        double sum = 0;
        for (const auto v : rms_) sum += v;
        return sum * 100 / kBlocks / 23170;
    }

private:
    std::array<std::int32_t, kBlocks> rms_{};
};

}  // namespace orv
