#include "monitors/monitors.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "dsp/rates.hpp"

namespace orv {

OutputRateRegulator::Result OutputRateRegulator::regulate(std::int64_t fillSum, std::int32_t refills,
                                                          int outBufferBytes, int fee, int fes, bool feRegulated,
                                                          bool correctionWindow) {
    Result result;
    result.fillPercent = static_cast<std::int32_t>(fillSum * 100 / (static_cast<std::int64_t>(refills) * (outBufferBytes / 2)));
    const std::int32_t c = result.fillPercent - kFillTarget;
    // Gross excursions are corrected at once by two thirds of a buffer.
    if (c > 50) result.correctionSamples = outBufferBytes / 3;
    if (c < -50) result.correctionSamples = -(outBufferBytes / 3);
    std::copy(corrections_.begin() + 1, corrections_.end(), corrections_.begin());
    corrections_.back() = -(c / 5);
    const int n = nominalOutputRate(fee, false);
    const float mean = static_cast<float>(std::accumulate(corrections_.begin(), corrections_.end(), 0)) / 4.0f;
    int adapted = static_cast<int>(std::nearbyint(mean * static_cast<float>(fes) / 11025.0f)) + n;
    if (correctionWindow) adapted = n;
    const int k = feRegulated ? n * 11 / 11025 : n / 11025;
    result.adaptedRate = std::clamp(adapted, n - k, n + k);
    return result;
}

}  // namespace orv
