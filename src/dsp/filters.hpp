#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "dsp/fft.hpp"

namespace orv {

enum class Sideband { None = 0, Upper = 1, Lower = 2 };

// The audio passband filter at Fes: a Blackman-windowed band-pass of N/2 taps applied by
// overlap-add fast convolution on blocks of N samples, with the sideband chosen by
// making the spectrum Hermitian from its upper or lower half.
class BandFilter {
public:
    // Designs low … high Hz (high limited to fes / 2) for blocks of n samples.
    void design(int lowHz, int highHz, int fes, int n);
    // Filters n samples of i/q (left untouched) into out.
    void process(const std::int32_t* i, const std::int32_t* q, Sideband sideband, std::int32_t* out);
    void clearTail() { tail_.fill(0); }
    int blockLength() const { return n_; }
    // The taps of the last design, for tests.
    const std::vector<std::int32_t>& taps() const { return taps_; }

private:
    static constexpr std::int64_t kDivisor = 1000000;
    int n_ = 0;
    IntegerFft fft_;
    std::vector<std::int32_t> taps_;
    std::vector<std::int32_t> spectrumRe_;
    std::vector<std::int32_t> spectrumIm_;
    std::array<std::int32_t, IntegerFft::kCapacity> tail_{};
    std::array<std::int32_t, IntegerFft::kCapacity> segmentI_{};
    std::array<std::int32_t, IntegerFft::kCapacity> segmentQ_{};
};

// A symmetric FIR of L taps (even) on up to two channels with their own delay lines:
// output = round(Σ c_i × (d[L/2 − 1 − i] + d[L/2 + i]) / scale), d[0] the newest input,
// summed in single precision in tap order. A run filters several outputs side by side;
// each is the same as filtering one sample at a time.
class SymmetricFir {
public:
    // Coefficients from the centre outwards (L/2 of them); clears the delay lines.
    void setCoefficients(std::vector<std::int32_t> centreOutwards, float scale);
    void clear();
    // Filters a run of samples of one channel (0 or 1) in place.
    void run(int channel, std::int32_t* samples, int count);
    int taps() const { return static_cast<int>(coefficients_.size()) * 2; }
    const std::vector<std::int32_t>& coefficients() const { return coefficients_; }

private:
    std::vector<std::int32_t> coefficients_;
    std::vector<float> floatCoefficients_;
    float scale_ = 1.0f;
    // Per channel: the last L − 1 inputs, oldest first, then the run being filtered; held
    // as floats, exact for these integer samples and their pair sums.
    std::array<std::vector<float>, 2> history_;
};

// The anti-alias low-pass before decimation from Fee to Fes, coefficients scaled by
// 1 000 000: L = 140 × Fee / 44100 rounded up to even for 44100 and 48000 (cutoff
// 4300 Hz), 40 at 96000 and 80 at 192000 (cutoff 5400 Hz). Two delay lines serve I and Q.
class AntiAliasFilter {
public:
    void design(int fee);
    void run(int channel, std::int32_t* samples, int count) { fir_.run(channel, samples, count); }
    std::int32_t sample(int channel, std::int32_t x) {
        run(channel, &x, 1);
        return x;
    }
    int taps() const { return fir_.taps(); }
    const std::vector<std::int32_t>& coefficients() const { return fir_.coefficients(); }

private:
    SymmetricFir fir_;
};

}  // namespace orv
