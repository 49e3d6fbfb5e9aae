#pragma once

#include <array>
#include <cstdint>

namespace orv {

// How long the main cycle's ticks take, kept as a histogram of tenths of a millisecond
// (the last bucket holds a second and more), so hours of ticks cost no more memory than
// a few.
class TickTimes {
public:
    static constexpr int kBuckets = 10001;

    void add(double milliseconds) {
        const auto bucket = static_cast<std::int64_t>(milliseconds * 10);
        ++counts_[static_cast<std::size_t>(bucket < 0 ? 0 : bucket >= kBuckets ? kBuckets - 1 : bucket)];
        ++total_;
        if (milliseconds > longest_) longest_ = milliseconds;
    }
    std::int64_t count() const { return total_; }
    double longest() const { return longest_; }
    // The time under which `fraction` of the ticks took, to a tenth of a millisecond.
    double percentile(double fraction) const {
        const auto wanted = static_cast<std::int64_t>(fraction * static_cast<double>(total_));
        std::int64_t seen = 0;
        for (int b = 0; b < kBuckets; ++b) {
            seen += counts_[static_cast<std::size_t>(b)];
            if (seen > wanted) return (b + 1) / 10.0;
        }
        return kBuckets / 10.0;
    }

private:
    std::array<std::int64_t, kBuckets> counts_{};
    std::int64_t total_ = 0;
    double longest_ = 0;
};

}  // namespace orv
