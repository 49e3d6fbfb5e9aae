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

void DriftEstimator::add(double seconds, double adaptedRate, int nominalRate, double queueSamples,
                         int correctionSamples) {
    if (lastSeconds_ >= 0) produced_ += (adaptedRate - nominalRate) * (seconds - lastSeconds_);
    lastSeconds_ = seconds;
    nominal_ = nominalRate;
    // The level was measured over the period, before its correction.
    points_.push_back({seconds, produced_ - queueSamples});
    produced_ -= correctionSamples;
    if (points_.size() > kPeriods) points_.pop_front();
}

void DriftEstimator::clear() {
    points_.clear();
    produced_ = 0;
    lastSeconds_ = -1;
}

std::optional<double> DriftEstimator::ppm() const {
    if (points_.size() < kMinPeriods || nominal_ == 0) return std::nullopt;
    double st = 0, sy = 0;
    for (const auto& p : points_) {
        st += p.t;
        sy += p.y;
    }
    const double n = static_cast<double>(points_.size());
    const double mt = st / n;
    const double my = sy / n;
    double num = 0, den = 0;
    for (const auto& p : points_) {
        num += (p.t - mt) * (p.y - my);
        den += (p.t - mt) * (p.t - mt);
    }
    if (den == 0) return std::nullopt;
    return num / den / nominal_ * 1e6;
}

}  // namespace orv
