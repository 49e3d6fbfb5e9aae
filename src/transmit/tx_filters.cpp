#include "transmit/tx_filters.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orv {

namespace {

constexpr double kPi = std::numbers::pi;

// Puts x at the front of a doubled delay line of n samples (newest first) and returns
// where the n samples now start.
std::size_t pushNewestFirst(std::vector<std::int32_t>& line, std::size_t& at, std::int32_t x) {
    const std::size_t n = line.size() / 2;
    at = at == 0 ? n - 1 : at - 1;
    line[at] = x;
    line[at + n] = x;
    return at;
}

// Half-taps of a windowed sinc at the offsets k + 0.5 from the middle.
template <typename Window>
std::vector<std::int32_t> windowedSinc(int taps, double cutoffHz, double rate, double scale, Window window) {
    std::vector<std::int32_t> half(static_cast<std::size_t>(taps / 2));
    for (std::size_t k = 0; k < half.size(); ++k) {
        const double f = static_cast<double>(k) + 0.5;
        const double sinc = std::sin(2 * kPi * f * cutoffHz / rate) / (kPi * f);
        half[k] = static_cast<std::int32_t>(std::nearbyint(sinc * window(f) * scale));
    }
    return half;
}

int madeEven(int n) { return n % 2 == 1 ? n + 1 : n; }

}  // namespace

TxInterpolationFilter::TxInterpolationFilter(std::vector<std::int32_t> halfTaps, std::int32_t scale)
    : half_(std::move(halfTaps)), scale_(scale), line_(half_.size() * 4, 0) {}

void TxInterpolationFilter::clear() {
    std::fill(line_.begin(), line_.end(), 0);
    at_ = 0;
}

std::int32_t TxInterpolationFilter::filter(std::int32_t x) {
    if (half_.empty()) return x;
    const std::int32_t* d = line_.data() + pushNewestFirst(line_, at_, x);
    const std::size_t c = half_.size() - 1;
    std::int64_t sum = 0;
    for (std::size_t k = 0; k < half_.size(); ++k)
        sum += static_cast<std::int64_t>(d[c - k] + d[c + 1 + k]) * half_[k];
    return static_cast<std::int32_t>(sum / scale_);
}

TxInterpolationDesign txInterpolationDesign(int stage, int inputRate, int outputRate) {
    if (stage == 2) {
        if (outputRate == 96000) return {12, 16000};
        if (outputRate == 192000) return {12, 25000};
        return {14, 10000};
    }
    if (inputRate == 5512) {
        if (outputRate == 11025 || outputRate == 12000) return {200, 2600};
        return {madeEven(outputRate * 200 / 24000), 2500};
    }
    return {madeEven(outputRate * 50 / 12000), 4800};
}

TxInterpolationFilter designTxInterpolation(int stage, int inputRate, int outputRate) {
    const TxInterpolationDesign d = txInterpolationDesign(stage, inputRate, outputRate);
    const std::int32_t scale = stage == 1 ? 100000 : 80000;
    const double n = d.taps;
    const auto blackman = [n](double f) { return 0.42 + 0.5 * std::cos(2 * kPi * f / n) + 0.08 * std::cos(4 * kPi * f / n); };
    return TxInterpolationFilter(windowedSinc(d.taps, d.cutoffHz, outputRate, scale, blackman), scale);
}

VoiceLowPass::VoiceLowPass(int rate) : line_(160, 0) {
    constexpr int kTaps = 80;
    const auto hamming = [](double f) { return 0.54 + 0.46 * std::cos(2 * kPi * f / kTaps); };
    half_ = windowedSinc(kTaps, 2800, rate, 1000000, hamming);
}

std::int32_t VoiceLowPass::filter(std::int32_t x) {
    if (half_.empty()) return x;
    const std::int32_t* d = line_.data() + pushNewestFirst(line_, at_, x);
    const std::size_t c = half_.size() - 1;
    double sum = 0;
    for (std::size_t k = 0; k < half_.size(); ++k)
        sum += static_cast<double>(d[c - k] + d[c + 1 + k]) * static_cast<double>(half_[k]);
    return static_cast<std::int32_t>(std::nearbyint(sum / 1000000.0));
}

HilbertTransformer::HilbertTransformer(int rate) {
    length_ = rate * 151 / 11025;
    if (length_ % 2 == 0) ++length_;
    const int m = length_ / 2;
    g_.assign(static_cast<std::size_t>(m + 1), 0);
    for (int j = 1; j <= m; j += 2) {
        const double hamming = 0.54 + 0.46 * std::cos(2 * kPi * j / (length_ - 1));
        g_[static_cast<std::size_t>(j)] = static_cast<std::int32_t>(std::nearbyint(hamming * (-2 / (kPi * j)) * 100000));
    }
    line_.assign(static_cast<std::size_t>(length_) * 2, 0);
}

HilbertTransformer::Pair HilbertTransformer::push(std::int32_t x) {
    if (line_.empty()) return {0, 0};
    const std::int32_t* d = line_.data() + pushNewestFirst(line_, at_, x);
    const std::size_t c = g_.size() - 1;
    std::int64_t s = 0;
    // Only the odd taps are non-zero.
    for (std::size_t j = 1; j <= c; j += 2) s += static_cast<std::int64_t>(d[c - j] - d[c + j]) * g_[j];
    const std::int64_t q = std::clamp<std::int64_t>(s * 29000 / 25500000, -29000, 29000);
    return {static_cast<std::int32_t>(static_cast<std::int64_t>(d[c]) * 29000 / 255), static_cast<std::int32_t>(q)};
}

}  // namespace orv
