#include "dsp/filters.hpp"

#include <algorithm>
#include <cmath>

#include "dsp/simd.hpp"

namespace orv {

namespace {
constexpr float kPi = 3.14159265358979f;

// Blackman window over `span` taps at t.
float blackman(float t, float span) {
    return 0.42f + 0.5f * std::cos(2.0f * kPi * t / span) + 0.08f * std::cos(4.0f * kPi * t / span);
}
}  // namespace

void BandFilter::design(int lowHz, int highHz, int fes, int n) {
    n_ = n;
    highHz = std::min(highHz, fes / 2);
    taps_.assign(static_cast<std::size_t>(n), 0);
    const float rate = static_cast<float>(fes);
    for (int i = 0; i < n / 4; ++i) {
        const float t = static_cast<float>(i) + 0.5f;
        const float band = std::sin(2.0f * kPi * t * static_cast<float>(highHz) / rate) -
                           std::sin(2.0f * kPi * t * static_cast<float>(lowHz) / rate);
        const float c = band / (kPi * t) * blackman(t, static_cast<float>(n / 2)) * 1000000.0f;
        const auto value = static_cast<std::int32_t>(std::nearbyint(c));
        taps_[static_cast<std::size_t>(n / 4 - 1 - i)] = value;
        taps_[static_cast<std::size_t>(n / 4 + i)] = value;
    }
    fft_.forward(taps_.data(), nullptr, n);
    spectrumRe_.assign(fft_.re(), fft_.re() + n);
    spectrumIm_.assign(fft_.im(), fft_.im() + n);
}

void BandFilter::process(const std::int32_t* i, const std::int32_t* q, Sideband sideband, std::int32_t* out) {
    const int n = n_;
    const int half = n / 2;
    for (int h = 0; h < 2; ++h) {
        std::fill(segmentI_.begin(), segmentI_.begin() + n, 0);
        std::fill(segmentQ_.begin(), segmentQ_.begin() + n, 0);
        std::copy_n(i + h * half, half, segmentI_.begin());
        std::copy_n(q + h * half, half, segmentQ_.begin());
        fft_.forward(segmentI_.data(), segmentQ_.data(), n);
        std::int32_t* re = fft_.re();
        std::int32_t* im = fft_.im();
        // Keep one half of the spectrum and mirror it onto the other: the inverse is then
        // real and holds only that sideband.
        for (int d = 1; d < half; ++d) {
            if (sideband == Sideband::Upper) {
                re[n - d] = re[d];
                im[n - d] = -im[d];
            } else if (sideband == Sideband::Lower) {
                re[d] = re[n - d];
                im[d] = -im[n - d];
            }
        }
        for (int k = 0; k < n; ++k) {
            const std::int64_t xr = re[k];
            const std::int64_t xi = im[k];
            const std::int64_t hr = spectrumRe_[static_cast<std::size_t>(k)];
            const std::int64_t hi = spectrumIm_[static_cast<std::size_t>(k)];
            re[k] = static_cast<std::int32_t>((xr * hr - xi * hi) / kDivisor);
            im[k] = static_cast<std::int32_t>((xi * hr + xr * hi) / kDivisor);
        }
        fft_.inverse();
        for (int k = 0; k < half; ++k) out[h * half + k] = tail_[static_cast<std::size_t>(half + k)] + re[k];
        std::copy_n(re, n, tail_.begin());
    }
}

void AntiAliasFilter::design(int fee) {
    float cutoff = 4300.0f;
    int length = 0;
    if (fee <= 48000) {
        length = 140 * fee / 44100;
        if (length % 2 != 0) ++length;
    } else {
        cutoff = 5400.0f;
        length = fee >= 192000 ? 80 : 40;
    }
    std::vector<std::int32_t> c(static_cast<std::size_t>(length / 2));
    const float rate = static_cast<float>(fee);
    for (int i = 0; i < length / 2; ++i) {
        const float t = static_cast<float>(i) + 0.5f;
        const float v = std::sin(2.0f * kPi * t * cutoff / rate) / (kPi * t) * blackman(t, static_cast<float>(length)) * 1000000.0f;
        c[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(std::nearbyint(v));
    }
    fir_.setCoefficients(std::move(c), 1000000.0f);
}

void SymmetricFir::setCoefficients(std::vector<std::int32_t> centreOutwards, float scale) {
    coefficients_ = std::move(centreOutwards);
    floatCoefficients_.assign(coefficients_.begin(), coefficients_.end());
    scale_ = scale;
    clear();
}

void SymmetricFir::clear() {
    for (auto& h : history_) h.assign(static_cast<std::size_t>(std::max(taps() - 1, 0)), 0.0f);
}

void SymmetricFir::run(int channel, std::int32_t* samples, int count) {
    if (coefficients_.empty() || count <= 0) return;
    auto& h = history_[static_cast<std::size_t>(channel)];
    const std::size_t keep = static_cast<std::size_t>(taps() - 1);
    const std::size_t live = keep + static_cast<std::size_t>(count);
    if (h.size() < live) h.resize(live);
    float* x = h.data();
    for (int n = 0; n < count; ++n) x[keep + static_cast<std::size_t>(n)] = static_cast<float>(samples[n]);
    // Output n sums c_i × (d[L/2 − 1 − i] + d[L/2 + i]), d[0] the newest; in the history
    // the newest input of output n sits at keep + n.
    const int halfTaps = static_cast<int>(coefficients_.size());
    simd::kernels().pairFir(x + keep, -(halfTaps - 1), -halfTaps, 1, floatCoefficients_.data(), halfTaps, false,
                            scale_, count, samples);
    std::copy(x + count, x + live, x);
}

}  // namespace orv
