#include "dsp/noise_reducer.hpp"

#include <algorithm>

namespace orv {

namespace {
// A product or sum kept to its low 32 bits, as 32-bit integer arithmetic leaves it.
std::int32_t wrap32(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }
}  // namespace

void NoiseReducer::reset(int fes) {
    // Sized from the output rate, so every rate the receiver runs at is served
    // (192000 with Fes = Fee needs 480 taps and a 960-sample window).
    taps_ = fes * 20 / 8000;
    window_ = fes * 40 / 8000;
    weights_.assign(static_cast<std::size_t>(taps_), 0);
    delay_.assign(static_cast<std::size_t>(window_), 0);
    gain_ = 0;
    power_ = 32512;
}

std::int32_t NoiseReducer::reduce(std::int32_t a) {
    const std::int32_t x = a * 100 / 1285;
    std::copy_backward(delay_.begin(), delay_.end() - 1, delay_.end());
    delay_[0] = x;

    std::int64_t p = 0;
    for (const std::int32_t v : delay_) p += static_cast<std::int64_t>(v) * v;
    p /= window_;
    power_ = p / kScale / kScale + 1;

    std::int64_t sum = 0;
    for (int k = 0; k < taps_; ++k)
        sum += static_cast<std::int64_t>(delay_[static_cast<std::size_t>(k)]) * weights_[static_cast<std::size_t>(k)];
    const std::int32_t y = std::clamp(wrap32(sum) / (255 * kScale), -2550, 2550);

    const std::int32_t e = x - y;
    const auto quotient = wrap32(static_cast<std::int64_t>(mu_) * 32512 / power_);
    gain_ = wrap32(static_cast<std::int64_t>(quotient) * e);
    if (gain_ == 0) gain_ = e;
    for (int k = 0; k < taps_; ++k) {
        auto& w = weights_[static_cast<std::size_t>(k)];
        const std::int32_t d = wrap32(static_cast<std::int64_t>(delay_[static_cast<std::size_t>(k)]) * gain_) / (32640 * kScale);
        w = (w + d) * 250 / 256;
    }
    return y * 128499 / 10000;
}

}  // namespace orv
