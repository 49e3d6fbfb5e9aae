#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace orv {

// The radix-2 transform on int32 arrays: butterflies in single precision with table
// twiddles truncated to whole 0.01° steps, outputs clamped to ±2.14e9 and rounded to
// nearest (ties to even). Lengths are powers of two from 2 to 4096. Each owner (the
// display, the band filter) keeps its own instance, so their lengths never mix.
class IntegerFft {
public:
    static constexpr int kMaxLength = 4096;
    static constexpr std::size_t kCapacity = kMaxLength + 1;

    IntegerFft();

    // X[k] = Σ x[n]·e^(−j2πkn/L), unscaled, into re()/im(). `imag` may be null (real input).
    void forward(const std::int32_t* real, const std::int32_t* imag, int length);
    // The real part of the inverse of re()/im() (length of the last forward), divided by
    // L with truncation to a multiple of 10, into re(). The imaginary part is dropped.
    void inverse();

    std::int32_t* re() { return re_.data(); }
    std::int32_t* im() { return im_.data(); }
    const std::int32_t* re() const { return re_.data(); }
    const std::int32_t* im() const { return im_.data(); }
    int length() const { return length_; }

private:
    void prepare(int length);
    void butterflies(bool conjugate);

    int length_ = 0;
    int stages_ = 0;
    std::vector<std::uint16_t> reversed_;
    // The twiddles of each stage, laid out in order (stage s holds 2^s of them) so the
    // butterflies of a group read them contiguously.
    std::vector<float> twiddleCos_;
    std::vector<float> twiddleSin_;
    std::array<float, kCapacity> workRe_{};
    std::array<float, kCapacity> workIm_{};
    std::array<std::int32_t, kCapacity> re_{};
    std::array<std::int32_t, kCapacity> im_{};
};

// The spectrum display's magnitudes of one forward transform of length L, bins
// −(L/2 − 1) … L/2 − 1, and their running average over the last `depth` frames.
class SpectrumAverager {
public:
    static constexpr int kHalf = 2047;  // the largest L/2 − 1

    // Sets L and the depth and clears the history.
    void init(int length, int depth);
    // m = round(√((re² + im²) × K) / L), K = 5000 with the spectrum AGC, else 500000.
    void magnitudes(const std::int32_t* re, const std::int32_t* im, bool spectrumAgc);
    // Pushes the current frame into the history and replaces it by the average.
    void average();
    // Bin k (−(L/2 − 1) … L/2 − 1) of the current frame.
    std::int32_t bin(int k) const { return current_[static_cast<std::size_t>(k + kHalf)]; }

private:
    int length_ = 2048;
    int depth_ = 10;
    std::array<std::int32_t, 2 * kHalf + 1> current_{};
    // The last `depth` frames in a ring, and their sums bin by bin.
    std::vector<std::array<std::int32_t, 2 * kHalf + 1>> history_;
    std::array<std::int64_t, 2 * kHalf + 1> sums_{};
    std::array<std::int32_t, IntegerFft::kMaxLength> scratch_{};
    std::size_t oldest_ = 0;
};

}  // namespace orv
