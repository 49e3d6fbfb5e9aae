#include "dsp/demodulators.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "dsp/simd.hpp"

namespace orv {

namespace {

constexpr float kPi = 3.14159265358979f;

// A product or sum kept to its low 32 bits, as 32-bit integer arithmetic leaves it.
std::int32_t wrap32(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }


struct AngleTable {
    std::array<std::int16_t, 2001> t{};
    AngleTable() {
        t[0] = kAngleQuarterTurn;
        for (int j = -999; j <= 1000; ++j) {
            const float x = static_cast<float>(j) / 1000.0f;
            const float r = (1.0f - x) / (1.0f + x);
            const float degrees = std::atan2(r, 1.0f) * 180.0f / kPi;
            t[static_cast<std::size_t>(j + 1000)] = static_cast<std::int16_t>(std::nearbyint(degrees * static_cast<float>(kAngleHalfTurn) / 180.0f));
        }
    }
};

const AngleTable& angleTable() {
    static const AngleTable table;
    return table;
}

}  // namespace

std::int32_t angle(std::int32_t a, std::int32_t b) {
    std::int32_t out = 0;
    simd::kernels().angles(&a, &b, 1, angleTable().t.data(), kAngleQuarterTurn, kAngleHalfTurn, &out);
    return out;
}

namespace {

// An 80-tap windowed-sinc design (Hamming window), centre outwards, scaled by 100000.
std::vector<std::int32_t> ifDesign(float lowHz, float highHz, int fee) {
    const float rate = static_cast<float>(fee);
    std::vector<std::int32_t> c(40);
    for (int i = 0; i < 40; ++i) {
        const float t = static_cast<float>(i) + 0.5f;
        const float window = 0.54f + 0.46f * std::cos(2 * kPi * t / 80.0f);
        float band = std::sin(2 * kPi * t * highHz / rate);
        if (lowHz > 0) band -= std::sin(2 * kPi * t * lowHz / rate);
        c[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(std::nearbyint(band / (kPi * t) * window * 100000.0f));
    }
    return c;
}

}  // namespace

void Demodulators::setupIfFilters(int mode, int fee) {
    if (mode <= 4) bandPass_.setCoefficients(ifDesign(2500.0f, 11500.0f, fee), 100000.0f);
    if_.phase = 0;
    if (mode >= 5) return;
    for (int c = 1; c <= 64; ++c) {
        const float k = c % 2 != 0 ? -2.0f / (kPi * static_cast<float>(c)) : 0.0f;
        const float window = 0.8f + 0.2f * std::cos(2 * kPi * static_cast<float>(c) / 128.0f);
        hilbertTaps_[static_cast<std::size_t>(c)] = static_cast<std::int32_t>(std::nearbyint(k * window * 100000.0f));
        if (c % 2 != 0) hilbertOdd_[static_cast<std::size_t>(c / 2)] = static_cast<float>(hilbertTaps_[static_cast<std::size_t>(c)]);
    }
    std::fill(direct_.begin(), direct_.end(), 0);
    std::fill(hilbert_.begin(), hilbert_.end(), 0.0f);
    highPass_.period = 1.0f / static_cast<float>(fee);
    highPass_.tau = 0.0015915494f;
    highPass_.previousOutput = 0;
    lowPass_.setCoefficients(ifDesign(0.0f, 4500.0f, fee), 100000.0f);
}

void Demodulators::ifSignal(std::int32_t* i, std::int32_t* q, int count) {
    bandPass_.run(0, i, count);
    bandPass_.run(1, q, count);
    // Hilbert transform of q1: Σ h_c × (d[64 − c] − d[64 + c]), d[0] the newest; in the
    // history the newest of output n sits at 128 + n. Only the odd taps are summed: an even
    // one adds ±0 to a sum that starts at +0 and so is never −0, which leaves it as it is.
    const auto live = static_cast<std::size_t>(128 + count);
    if (hilbert_.size() < live) hilbert_.resize(live);
    if (shifted_.size() < static_cast<std::size_t>(count)) shifted_.resize(static_cast<std::size_t>(count));
    float* x = hilbert_.data();
    for (int n = 0; n < count; ++n) x[128 + n] = static_cast<float>(q[n]);
    simd::kernels().pairFir(x + 128, -63, -65, 2, hilbertOdd_.data(), 32, true, 100000.0f, count, shifted_.data());
    std::copy(x + count, x + live, x);
    // The direct path: i1 delayed by 64 samples.
    direct_.resize(64);
    for (int n = 0; n < count; ++n) direct_.push_back(i[n]);
    for (int n = 0; n < count; ++n)
        i[n] = (direct_[static_cast<std::size_t>(n)] - shifted_[static_cast<std::size_t>(n)]) / 2;
    std::copy(direct_.end() - 64, direct_.end(), direct_.begin());
}

void Demodulators::amEnvelope(std::int32_t* i, std::int32_t* q, int count, std::int32_t feHundredth) {
    ifSignal(i, q, count);
    a_.resize(static_cast<std::size_t>(count));
    b_.resize(static_cast<std::size_t>(count));
    mixedRe_.resize(static_cast<std::size_t>(count));
    if_.quadratureBlock(i, count, feHundredth, a_.data(), b_.data());
    lowPass_.run(0, a_.data(), count);
    lowPass_.run(1, b_.data(), count);
    simd::kernels().envelope(a_.data(), b_.data(), count, mixedRe_.data());
}

void Demodulators::fmDeviation(std::int32_t* i, std::int32_t* q, int count, int fee) {
    ifSignal(i, q, count);
    a_.resize(static_cast<std::size_t>(count));
    b_.resize(static_cast<std::size_t>(count));
    // The power and the correlation with the sample before, kept to 32 bits as 32-bit
    // products leave them (unsigned arithmetic gives those bits without overflow).
    const auto wrapped = [](std::int32_t x, std::int32_t y) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(x) * static_cast<std::uint32_t>(y));
    };
    if (count > 0) b_[0] = wrapped(fmPrevious_, i[0]);
    for (std::size_t n = 0; n < static_cast<std::size_t>(count); ++n) a_[n] = wrapped(i[n], i[n]);
    for (std::size_t n = 1; n < static_cast<std::size_t>(count); ++n) b_[n] = wrapped(i[n - 1], i[n]);
    if (count > 0) fmPrevious_ = i[count - 1];
    lowPass_.run(0, a_.data(), count);
    lowPass_.run(1, b_.data(), count);
    mixedRe_.resize(static_cast<std::size_t>(count));
    constexpr auto ifHz = static_cast<float>(kIfFrequencyHz);
    const float radiansPerCycle = 2 * kPi * ifHz / static_cast<float>(fee);
    simd::kernels().fmDeviation(a_.data(), b_.data(), count, radiansPerCycle, ifHz, mixedRe_.data());
}

void Demodulators::discriminateBroadcastFm(std::int32_t* i, const std::int32_t* q, int count) {
    // Each sample against the one before it: the products side by side, then the angles.
    a_.resize(static_cast<std::size_t>(count));
    b_.resize(static_cast<std::size_t>(count));
    std::int32_t* re = a_.data();
    std::int32_t* im = b_.data();
    std::int32_t lastI = broadcastI_;
    std::int32_t lastQ = broadcastQ_;
    for (int n = 0; n < count; ++n) {
        const std::int32_t pi = n == 0 ? lastI : i[n - 1];
        const std::int32_t pq = n == 0 ? lastQ : q[n - 1];
        re[n] = wrap32(static_cast<std::int64_t>(pi) * i[n] + static_cast<std::int64_t>(pq) * q[n]);
        im[n] = wrap32(static_cast<std::int64_t>(pi) * q[n] - static_cast<std::int64_t>(pq) * i[n]);
    }
    if (count > 0) {
        broadcastI_ = i[count - 1];
        broadcastQ_ = q[count - 1];
    }
    simd::kernels().angles(re, im, count, angleTable().t.data(), kAngleQuarterTurn, kAngleHalfTurn, i);
}

}  // namespace orv
