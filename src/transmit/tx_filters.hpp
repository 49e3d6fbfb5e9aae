#pragma once

#include <cstdint>
#include <vector>

namespace orv {

// A linear-phase low-pass with an even number of taps, kept as its N/2 half-taps
// h[k] (k = 0 … N/2 − 1, at the half-sample offsets k + 0.5), scaled by `scale`. Its
// delay line holds the last N inputs; each output is
//   Σₖ (x[c − k] + x[c + 1 + k]) × h[k] div scale
// over the pairs symmetric about the line's middle, summed in 64 bits.
class TxInterpolationFilter {
public:
    TxInterpolationFilter() = default;
    TxInterpolationFilter(std::vector<std::int32_t> halfTaps, std::int32_t scale);

    std::int32_t filter(std::int32_t x);
    void clear();
    int taps() const { return static_cast<int>(half_.size() * 2); }
    const std::vector<std::int32_t>& halfTaps() const { return half_; }
    std::int32_t scale() const { return scale_; }

private:
    std::vector<std::int32_t> half_;
    std::int32_t scale_ = 1;
    // Twice the length, so the last N inputs always lie side by side.
    std::vector<std::int32_t> line_;
    std::size_t at_ = 0;
};

// The interpolation low-pass of a transmit stage (1: the audio to the card or to 24000;
// 2: 24000 to the card), chosen by the rates: a Blackman-windowed sinc.
struct TxInterpolationDesign {
    int taps = 0;
    int cutoffHz = 0;
};
TxInterpolationDesign txInterpolationDesign(int stage, int inputRate, int outputRate);
TxInterpolationFilter designTxInterpolation(int stage, int inputRate, int outputRate);

// The 2800 Hz voice low-pass at the microphone's rate: 80 taps, Hamming window, taps
// scaled by 1 000 000; the sum is formed in double and rounded to nearest, ties to even.
class VoiceLowPass {
public:
    VoiceLowPass() = default;
    explicit VoiceLowPass(int rate);
    std::int32_t filter(std::int32_t x);
    bool designed() const { return !half_.empty(); }

private:
    std::vector<std::int32_t> half_;
    std::vector<std::int32_t> line_;
    std::size_t at_ = 0;
};

// The Hamming-windowed Hilbert transformer that makes the analytic signal: length
// R × 151 div 11025 made odd; its output pair is the middle sample scaled so ±255
// gives ±29000 (I), and the transform, clamped to ±29000 (Q).
class HilbertTransformer {
public:
    HilbertTransformer() = default;
    explicit HilbertTransformer(int rate);

    struct Pair {
        std::int32_t i;
        std::int32_t q;
    };
    Pair push(std::int32_t x);
    int length() const { return length_; }
    const std::vector<std::int32_t>& taps() const { return g_; }  // g[1 … M]; g[0] unused

private:
    int length_ = 0;
    std::vector<std::int32_t> g_;
    std::vector<std::int32_t> line_;
    std::size_t at_ = 0;
};

}  // namespace orv
