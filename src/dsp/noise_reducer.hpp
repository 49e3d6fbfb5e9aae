#pragma once

#include <cstdint>
#include <vector>

namespace orv {

// The voice noise reducer: a normalised least-mean-squares predictor with leakage that
// replaces each speaker sample by its prediction, so what is not correlated from sample
// to sample (hiss) fades. Integer arithmetic; T = Fes × 20 / 8000 taps predict from a
// power window of M = Fes × 40 / 8000 samples.
class NoiseReducer {
public:
    // Step factor: 3 for the weak setting, 1 for the strong.
    void setStep(std::int32_t mu) { mu_ = mu; }
    // Sizes the filter for `fes` and clears weights, delay line and gain.
    void reset(int fes);
    std::int32_t reduce(std::int32_t a);

    int taps() const { return taps_; }
    int window() const { return window_; }
    std::int64_t power() const { return power_; }

private:
    static constexpr std::int32_t kScale = 10;
    std::int32_t mu_ = 3;
    int taps_ = 20;
    int window_ = 40;
    std::vector<std::int32_t> weights_ = std::vector<std::int32_t>(20, 0);
    std::vector<std::int32_t> delay_ = std::vector<std::int32_t>(40, 0);  // newest first
    std::int64_t power_ = 32512;
    std::int32_t gain_ = 0;
};

}  // namespace orv
