#pragma once

#include <cstdint>

namespace orv {

// Thins a stream at `rate` to `target`: called once per input sample, it answers true
// when an output sample is due, target/rate times per input on average.
// q = floor(n × target / rate) over a running 64-bit count n; true when q moved.
class RateStep {
public:
    bool step(std::int64_t rate, std::int64_t target) {
        ++count_;
        const std::int64_t q = count_ * target / rate;
        const bool due = q != lastQuotient_;
        lastQuotient_ = q;
        return due;
    }
    void reset() {
        count_ = 0;
        lastQuotient_ = 0;
    }

private:
    std::int64_t count_ = 0;
    std::int64_t lastQuotient_ = 0;
};

}  // namespace orv
