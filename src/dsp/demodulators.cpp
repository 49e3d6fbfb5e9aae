#include "dsp/demodulators.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orv {

namespace {

constexpr float kPi = 3.14159265358979f;

// A product or sum kept to its low 32 bits, as 32-bit integer arithmetic leaves it.
std::int32_t wrap32(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }

std::int32_t clampSample(float y) {
    return static_cast<std::int32_t>(std::clamp(std::nearbyint(y), -32768.0f, 32767.0f));
}

struct AngleTable {
    std::array<std::int16_t, 2001> t{};
    AngleTable() {
        t[0] = 16383;
        for (int j = -999; j <= 1000; ++j) {
            const float x = static_cast<float>(j) / 1000.0f;
            const float r = (1.0f - x) / (1.0f + x);
            const float degrees = std::atan2(r, 1.0f) * 180.0f / kPi;
            t[static_cast<std::size_t>(j + 1000)] = static_cast<std::int16_t>(std::nearbyint(degrees * 32766.0f / 180.0f));
        }
    }
};

}  // namespace

std::int32_t angle(std::int32_t a, std::int32_t b) {
    static const AngleTable table;
    if (a == 0) return b > 0 ? 16383 : (b < 0 ? -16383 : 0);
    if (b == 0) return a < 0 ? -32766 : 0;
    const float ratio = static_cast<float>(std::abs(a) - std::abs(b)) / static_cast<float>(std::abs(a) + std::abs(b));
    const auto index = static_cast<int>(std::nearbyint(ratio * 1000.0f));
    const std::int32_t d = table.t[static_cast<std::size_t>(index + 1000)];
    if (a > 0) return b > 0 ? d : -d;
    return b > 0 ? 32766 - d : d - 32766;
}

void IfFilter::designBandPass(float lowHz, float highHz, int fee) {
    const float rate = static_cast<float>(fee);
    for (int i = 0; i < 40; ++i) {
        const float t = static_cast<float>(i) + 0.5f;
        const float band = std::sin(2 * kPi * t * highHz / rate) - std::sin(2 * kPi * t * lowHz / rate);
        const float window = 0.54f + 0.46f * std::cos(2 * kPi * t / 80.0f);
        c_[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(std::nearbyint(band / (kPi * t) * window * 100000.0f));
    }
    clear();
}

void IfFilter::designLowPass(float cutoffHz, int fee) {
    const float rate = static_cast<float>(fee);
    for (int i = 0; i < 40; ++i) {
        const float t = static_cast<float>(i) + 0.5f;
        const float window = 0.54f + 0.46f * std::cos(2 * kPi * t / 80.0f);
        c_[static_cast<std::size_t>(i)] =
            static_cast<std::int32_t>(std::nearbyint(std::sin(2 * kPi * t * cutoffHz / rate) / (kPi * t) * window * 100000.0f));
    }
    clear();
}

void IfFilter::clear() {
    for (auto& line : d_) line.fill(0);
    newest_ = {};
}

std::int32_t IfFilter::sample(int line, std::int32_t x) {
    auto& d = d_[static_cast<std::size_t>(line)];
    int& newest = newest_[static_cast<std::size_t>(line)];
    newest = (newest + 79) % 80;  // shift: the new sample becomes d[0]
    d[static_cast<std::size_t>(newest)] = x;
    const auto at = [&](int k) { return d[static_cast<std::size_t>((newest + k) % 80)]; };
    float s = 0;
    for (int k = 0; k < 40; ++k)
        s += static_cast<float>(c_[static_cast<std::size_t>(k)]) * static_cast<float>(at(39 - k) + at(40 + k));
    return static_cast<std::int32_t>(std::nearbyint(s / 100000.0f));
}

void Demodulators::setupIfFilters(int mode, int fee) {
    if (mode <= 4) bandPass_.designBandPass(2500.0f, 11500.0f, fee);
    if_.phase = 0;
    if (mode >= 5) return;
    for (int c = 1; c <= 64; ++c) {
        const float k = c % 2 != 0 ? -2.0f / (kPi * static_cast<float>(c)) : 0.0f;
        const float window = 0.8f + 0.2f * std::cos(2 * kPi * static_cast<float>(c) / 128.0f);
        hilbertTaps_[static_cast<std::size_t>(c)] = static_cast<std::int32_t>(std::nearbyint(k * window * 100000.0f));
    }
    direct_.fill(0);
    hilbert_.fill(0);
    highPass_.period = 1.0f / static_cast<float>(fee);
    highPass_.tau = 0.0015915494f;
    highPass_.previousOutput = 0;
    lowPass_.designLowPass(4500.0f, fee);
}

std::int32_t Demodulators::ifSignal(std::int32_t i, std::int32_t q) {
    const std::int32_t i1 = bandPass_.sample(0, i);
    const std::int32_t q1 = bandPass_.sample(1, q);
    std::copy_backward(direct_.begin(), direct_.end() - 1, direct_.end());
    direct_[0] = i1;
    std::copy_backward(hilbert_.begin(), hilbert_.end() - 1, hilbert_.end());
    hilbert_[0] = q1;
    float s = 0;
    for (std::size_t c = 1; c <= 64; ++c)
        s += static_cast<float>(hilbertTaps_[c]) * static_cast<float>(hilbert_[64 - c] - hilbert_[64 + c]);
    const auto shifted = static_cast<std::int32_t>(std::nearbyint(s / 100000.0f));
    return (direct_[64] - shifted) / 2;
}

std::int32_t Demodulators::demodulateAm(std::int32_t i, std::int32_t q, std::int32_t feHundredth) {
    const std::int32_t x = ifSignal(i, q);
    if_.step(feHundredth);
    const auto [p, pq] = if_.quadrature(x, if_.phase / 100);
    const std::int32_t a = lowPass_.sample(0, static_cast<std::int32_t>(std::nearbyint(p)));
    const std::int32_t b = lowPass_.sample(1, static_cast<std::int32_t>(std::nearbyint(pq)));
    std::int32_t m = wrap32(static_cast<std::int64_t>(a) * a + static_cast<std::int64_t>(b) * b);
    if (m < 0) m = 0;
    const float envelope = 2.0f * std::sqrt(static_cast<float>(m));
    return clampSample(highPass_.step(envelope));
}

std::int32_t Demodulators::demodulateFm(std::int32_t i, std::int32_t q, int fee) {
    const std::int32_t x = ifSignal(i, q);
    std::int32_t power = lowPass_.sample(0, wrap32(static_cast<std::int64_t>(x) * x));
    if (power < 1) power = 1;
    const std::int32_t correlation = lowPass_.sample(1, wrap32(static_cast<std::int64_t>(fmPrevious_) * x));
    fmPrevious_ = x;
    const float s = std::clamp(static_cast<float>(correlation) / static_cast<float>(power), 0.0f, 1.0f);
    const float omega = std::acos(s);
    const float r = omega / (2 * kPi * 7000.0f / static_cast<float>(fee));
    const float deviation = std::nearbyint((r - 1.0f) * 7000.0f);
    return clampSample(6.0f * highPass_.step(deviation));
}

std::int32_t Demodulators::discriminateBroadcastFm(std::int32_t i, std::int32_t q) {
    const std::int32_t re = wrap32(static_cast<std::int64_t>(broadcastI_) * i + static_cast<std::int64_t>(broadcastQ_) * q);
    const std::int32_t im = wrap32(static_cast<std::int64_t>(broadcastI_) * q - static_cast<std::int64_t>(broadcastQ_) * i);
    broadcastI_ = i;
    broadcastQ_ = q;
    return angle(re, im);
}

std::int32_t Demodulators::deEmphasize(std::int32_t x) {
    constexpr double kPeriod = 1.0 / 192000;
    constexpr double kTau = 7.507308636410157e-05;
    const double input = x;
    const double y = (kPeriod * input + kPeriod * emphasisInput_ - (kPeriod - 2 * kTau) * emphasisOutput_) / (2 * kTau + kPeriod);
    emphasisInput_ = input;
    emphasisOutput_ = y;
    return static_cast<std::int32_t>(std::nearbyint(y));
}

}  // namespace orv
