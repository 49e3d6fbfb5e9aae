#include "dsp/fft.hpp"

#include <algorithm>
#include <cmath>

#include "dsp/simd.hpp"

namespace orv {

namespace {

// The twiddle table's entry k (steps of 0.01°): the single-precision angle, its cosine and
// sine in extended precision, rounded to float. Worked out only for the entries a length
// uses, when the length is set.
float twiddleCosine(int k) {
    const float angle = static_cast<float>(k) * 3.14159265358979f / 180.0f / 100.0f;
    return static_cast<float>(std::cos(static_cast<long double>(angle)));
}
float twiddleSine(int k) {
    const float angle = static_cast<float>(k) * 3.14159265358979f / 180.0f / 100.0f;
    return static_cast<float>(std::sin(static_cast<long double>(angle)));
}

}  // namespace

IntegerFft::IntegerFft() = default;

void IntegerFft::prepare(int length) {
    if (length == length_) return;
    length_ = length;
    stages_ = 0;
    while ((1 << stages_) < length) ++stages_;
    // rev[0] = 0; for each stage size m: rev[i] = 2·rev[i], rev[i + m] = rev[i] + 1.
    reversed_.assign(static_cast<std::size_t>(length), 0);
    for (int m = 1; m < length; m *= 2) {
        for (int i = 0; i < m; ++i) {
            reversed_[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(2 * reversed_[static_cast<std::size_t>(i)]);
            reversed_[static_cast<std::size_t>(i + m)] = static_cast<std::uint16_t>(reversed_[static_cast<std::size_t>(i)] + 1);
        }
    }
    twiddleCos_.clear();
    twiddleSin_.clear();
    for (int s = 0; s < stages_; ++s) {
        for (int j = 0; j < (1 << s); ++j) {
            const int t = (j * 36000 / (2 << s)) % 36000;
            twiddleCos_.push_back(twiddleCosine(t));
            twiddleSin_.push_back(twiddleSine(t));
        }
    }
}

void IntegerFft::butterflies(bool conjugate) {
    simd::kernels().butterflies(workRe_.data(), workIm_.data(), stages_, twiddleCos_.data(), twiddleSin_.data(),
                                conjugate);
}

void IntegerFft::forward(const std::int32_t* real, const std::int32_t* imag, int length) {
    prepare(length);
    const std::uint16_t* reversed = reversed_.data();
    if (imag) {
        for (int k = 0; k < length; ++k) {
            const std::size_t at = reversed[k];
            workRe_[at] = static_cast<float>(real[k]);
            workIm_[at] = static_cast<float>(imag[k]);
        }
    } else {
        for (int k = 0; k < length; ++k) {
            const std::size_t at = reversed[k];
            workRe_[at] = static_cast<float>(real[k]);
            workIm_[at] = 0.0f;
        }
    }
    butterflies(false);
    const simd::Kernels& kernels = simd::kernels();
    kernels.toIntClamped(workRe_.data(), length, re_.data());
    kernels.toIntClamped(workIm_.data(), length, im_.data());
}

void IntegerFft::inverse() {
    const int n = length_;
    const std::uint16_t* reversed = reversed_.data();
    for (int k = 0; k < n; ++k) {
        const std::size_t at = reversed[k];
        workRe_[at] = static_cast<float>(re_[static_cast<std::size_t>(k)]);
        workIm_[at] = static_cast<float>(im_[static_cast<std::size_t>(k)]);
    }
    butterflies(true);
    simd::kernels().toIntClamped(workRe_.data(), n, re_.data());
    // v / (10 n) truncated, times 10. The quotient in double precision truncates the same
    // as the integer division: |v| < 2^31 and 10 n ≤ 40960, so a quotient that is not whole
    // lies at least 1/40960 from the next integer, far more than its rounding error.
    const double divisor = 10.0 * n;
    for (std::size_t k = 0; k < static_cast<std::size_t>(n); ++k)
        re_[k] = static_cast<std::int32_t>(static_cast<double>(re_[k]) / divisor) * 10;
}

void SpectrumAverager::init(int length, int depth) {
    length_ = length;
    depth_ = depth;
    current_.fill(0);
    history_.assign(static_cast<std::size_t>(depth), current_);
    sums_.fill(0);
    oldest_ = 0;
}

void SpectrumAverager::magnitudes(const std::int32_t* re, const std::int32_t* im, bool spectrumAgc) {
    const float k = spectrumAgc ? 5000.0f : 500000.0f;
    const int half = length_ / 2;
    std::int32_t* m = scratch_.data();
    simd::kernels().magnitudes(re, im, length_, k, static_cast<float>(length_), m);
    std::copy_n(m, half, current_.begin() + kHalf);
    for (int e = 1; e < half; ++e) current_[static_cast<std::size_t>(kHalf - e)] = m[length_ - e];
}

void SpectrumAverager::average() {
    if (history_.empty()) return;
    // The newest frame replaces the oldest in the ring; the running sums follow exactly.
    auto& slot = history_[oldest_];
    oldest_ = (oldest_ + 1) % history_.size();
    const int half = length_ / 2;
    const double depth = depth_;
    for (int b = -(half - 1); b < half; ++b) {
        const auto at = static_cast<std::size_t>(b + kHalf);
        sums_[at] += current_[at] - slot[at];
        slot[at] = current_[at];
        // sums_ / depth in double truncates as the integer division does: |sum| < 2^40
        // and a quotient that is not whole lies at least 1/depth from the next integer.
        current_[at] = static_cast<std::int32_t>(static_cast<double>(sums_[at]) / depth);
    }
}

}  // namespace orv
