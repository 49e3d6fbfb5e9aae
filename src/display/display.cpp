#include "display/display.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>

#include "dsp/simd.hpp"

namespace orv {

namespace {

constexpr Colour rgb(int r, int g, int b) {
    return static_cast<Colour>(b) << 16 | static_cast<Colour>(g) << 8 | static_cast<Colour>(r);
}

int tickCount(int fee) {
    if (fee == 44100 || fee == 11025) return 22;
    if (fee == 12000) return 12;
    return 24;
}

// The sum of the squares of both channels when it is exact in a double: every square below
// 2^31 and at most 2^22 of them, so the sum stays below 2^53.
std::optional<std::int64_t> exactSquareSum(std::span<const std::int32_t> i, std::span<const std::int32_t> q) {
    if (i.size() + q.size() > (std::size_t{1} << 22)) return std::nullopt;
    const simd::Kernels& kernels = simd::kernels();
    std::int64_t largestI = 0;
    std::int64_t largestQ = 0;
    const std::uint64_t sum = kernels.squareSum(i.data(), static_cast<int>(i.size()), &largestI) +
                              kernels.squareSum(q.data(), static_cast<int>(q.size()), &largestQ);
    if (std::max(largestI, largestQ) >= (std::int64_t{1} << 31)) return std::nullopt;
    return static_cast<std::int64_t>(sum);
}

}  // namespace

Colour waterfallColour(std::int32_t a, bool grey) {
    if (grey) {
        const int q = std::min(a * 255 / 3000, 255);
        return rgb(q, q, q);
    }
    // Thresholds from the contrast 20: d = 70, t1 = 450, t2 = 2500, t3 = 3000.
    a = std::min(a, 3000);
    if (a <= 70) return rgb(0, 0, a * 255 / 70);
    if (a <= 450) {
        const int k = (a - 70) * 255 / 380;
        return rgb(k, k, 255 - k);
    }
    if (a <= 2500) return rgb(255, 255 - (a - 450) * 255 / 4100, 0);
    return rgb(255, 128 - (a - 2500) * 127 / 500, 0);
}

std::vector<ScaleTick> scaleTicks(int fee, int width) {
    const int count = tickCount(fee);
    const std::int32_t half = halfBandHz(fee);
    std::vector<ScaleTick> ticks;
    for (int i = 0; i <= count; ++i) {
        ScaleTick t;
        t.x = i * (width - 1) / count;
        t.hz = (i - (count + 1) / 2) * 2 * (half / count);
        int shift = 0;
        const bool last = i == count;
        if (fee >= 44100) {
            t.label = std::to_string(t.hz / 1000);
            shift = t.hz < -19000 ? 7 : t.hz < -10000 ? 10 : last ? 15 : t.hz <= 10000 ? 5 : 10;
        } else {
            char text[16];
            std::snprintf(text, sizeof text, "%3.1f", t.hz / 1000.0);
            t.label = text;
            shift = last ? 18 : (i == 1 && fee == 11025 ? 6 : 11);
        }
        t.labelLeft = i == 0 ? 0 : t.x - shift;
        ticks.push_back(t);
    }
    return ticks;
}

void Display::initDisplay(int fee, WaterfallCanvas* canvas) {
    halfSpan_ = halfBandHz(fee);
    if (canvas) canvas->reset(kWidth, kHeight, scaleTicks(fee, kWidth));
}

void Display::initTransform(int captureRate, int blockLength) {
    (void)captureRate;
    blockLength_ = blockLength;
    spectrum_.init(blockLength, 10);
    transformReady_ = true;
}

std::int32_t Display::roundedRms(std::span<const std::int32_t> i, std::span<const std::int32_t> q,
                                 std::int32_t gain) {
    const auto rounded = [&](double sum) {
        return static_cast<std::int32_t>(std::nearbyint(std::sqrt(sum / static_cast<double>(i.size()))));
    };
    const std::optional<std::int64_t> whole = exactSquareSum(i, q);
    if (gain == 0) {
        // Squares of whole numbers summed exactly need no order.
        if (whole) return rounded(static_cast<double>(*whole));
        double sum = 0;
        for (const auto* samples : {&i, &q})
            for (const std::int32_t v : *samples) sum += static_cast<double>(v) * v;
        return rounded(sum);
    }
    // Each square is scaled by 10000 / gain² on its own and the scaled squares are summed in
    // order. That sum lies within (n + 4) rounding errors of 10000 × (exact sum) / gain²,
    // and neither the root nor the rounding goes down as the sum goes up: when both ends of
    // a wider band round alike, the sum in order rounds so too.
    const double divisor = static_cast<double>(gain) * gain;
    if (whole) {
        const double centre = static_cast<double>(*whole) / divisor * 10000;
        const double margin = (static_cast<double>(i.size() + q.size()) + 8) * 0x1p-51;
        const std::int32_t low = rounded(centre * (1 - margin));
        if (low == rounded(centre * (1 + margin))) return low;
    }
    const std::size_t n = i.size();
    squares_.resize(n + q.size());
    double* squares = squares_.data();
    const simd::Kernels& kernels = simd::kernels();
    kernels.scaledSquares(i.data(), static_cast<int>(n), divisor, squares);
    kernels.scaledSquares(q.data(), static_cast<int>(q.size()), divisor, squares + n);
    double sum = 0;
    for (const double v : squares_) sum += v;
    return rounded(sum);
}

Display::Level Display::measureLevel(std::span<const std::int32_t> i, std::span<const std::int32_t> q,
                                     std::int32_t inputGain, bool spectrumAgc) {
    // The display samples carry the input gain when the spectrum AGC is on: take it out,
    // so the meter shows the card's own level.
    const std::int32_t rms = roundedRms(i, q, spectrumAgc ? inputGain : 0);
    Level level;
    level.percent = std::min(levelHistory_.add(rms), 100.0);
    level.meterPosition = static_cast<int>(std::nearbyint((level.percent + 2) / 5));
    level.saturated = level.percent >= 70.0;
    level_ = level;
    return level;
}

bool Display::divideDisplayRate(int fee, int fes) {
    ++divider_;
    if (fee == fes || (fee <= 48000 && divider_ >= 2) || (fee >= 96000 && divider_ >= fee / 24000)) divider_ = 0;
    return divider_ == 0;
}

void Display::mapSpectrum(int captureRate) {
    const float binHz = static_cast<float>(captureRate) / static_cast<float>(blockLength_);
    constexpr int w = kWidth;
    const auto value = [&](int k, float r, int sign) {
        const float v = (static_cast<float>(spectrum_.bin(sign * k)) * (1 - r) +
                         static_cast<float>(spectrum_.bin(sign * (k + 1))) * r) / 33.333f;
        return static_cast<std::int32_t>(simd::roundEven(std::clamp(v, 1.0f, 3000.0f)));
    };
    for (int x = w / 2; x < w; ++x) {
        const std::int32_t f = ((x - w / 2) * 2 * halfSpan_ + halfSpan_) / (w - 2);
        const float l = static_cast<float>(f) / binHz;
        const int k = std::min(static_cast<int>(l), SpectrumAverager::kHalf - 1);
        const float r = l - static_cast<float>(static_cast<int>(l));
        line_[static_cast<std::size_t>(x)] = value(k, r, 1);
        line_[static_cast<std::size_t>(w - x)] = value(k, r, -1);
    }
}

std::vector<Colour> Display::rowColours(bool spectrumAgc, bool grey) const {
    std::int32_t scale = 1;
    if (spectrumAgc) {
        const std::int32_t largest = *std::max_element(line_.begin(), line_.end());
        scale = largest == 0 ? 1 : std::min(3000 / largest, 100);
    }
    // The colours of 0 … 3000 worked out once per palette; above 3000 both give 3000's.
    static const auto palettes = [] {
        std::array<std::array<Colour, 3001>, 2> p{};
        for (int a = 0; a <= 3000; ++a) {
            p[0][static_cast<std::size_t>(a)] = waterfallColour(a, false);
            p[1][static_cast<std::size_t>(a)] = waterfallColour(a, true);
        }
        return p;
    }();
    const auto& palette = palettes[grey ? 1 : 0];
    std::vector<Colour> row(line_.size());
    for (std::size_t x = 0; x < line_.size(); ++x) {
        const std::int32_t a = line_[x] * scale;
        row[x] = a < 0 ? waterfallColour(a, grey) : palette[static_cast<std::size_t>(std::min(a, 3000))];
    }
    return row;
}

bool Display::updateDisplay(std::span<const std::int32_t> i, std::span<const std::int32_t> q, int fee, int fes,
                            std::int32_t inputGain, bool spectrumAgc, WaterfallCanvas* canvas) {
    ++blocks_;
    measureLevel(i, q, inputGain, spectrumAgc);
    if (!divideDisplayRate(fee, fes)) return false;
    if (!transformReady_) initTransform(fee, static_cast<int>(i.size()));
    fft_.forward(i.data(), q.data(), static_cast<int>(i.size()));
    spectrum_.magnitudes(fft_.re(), fft_.im(), spectrumAgc);
    spectrum_.average();
    mapSpectrum(fee);
    ++rows_;
    if (canvas) canvas->addRow(rowColours(spectrumAgc, grey_));
    return true;
}

}  // namespace orv
