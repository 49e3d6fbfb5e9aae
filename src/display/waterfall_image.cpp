#include "display/waterfall_image.hpp"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace orv {

namespace {

// A label as drawn: its first column from the label's left edge, its top row, its width,
// and its rows of shade numbers, three hexadecimal digits a pixel.
struct ScaleLabel {
    std::string_view text;
    int left;
    int top;
    int width;
    std::string_view rows;
};

#include "display/scale_glyphs.inc"

const ScaleLabel* drawnLabel(std::string_view text) {
    for (const ScaleLabel& label : kScaleLabels)
        if (label.text == text) return &label;
    return nullptr;
}

int hexDigit(char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

}  // namespace

void WaterfallImage::reset(int width, int height, const std::vector<ScaleTick>& ticks) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(kHeaderHeight + height_), toRgb(kWhite));
    ringRows_ = std::max(height_ - 1, 1);
    ring_.assign(static_cast<std::size_t>(ringRows_) * static_cast<std::size_t>(width_), toRgb(kWhite));
    newest_ = 0;
    stale_ = false;
    drawScale(ticks);
}

void WaterfallImage::drawScale(const std::vector<ScaleTick>& ticks) {
    std::fill_n(pixels_.begin(), width_ * kHeaderHeight, toRgb(kScaleBackground));
    for (const auto& tick : ticks) {
        drawLabel(tick.labelLeft, tick.label);
        if (tick.x < 0 || tick.x >= width_) continue;
        for (int y = kScaleLineTop; y < kHeaderHeight; ++y)
            pixels_[static_cast<std::size_t>(y * width_ + tick.x)] = toRgb(0x000000);
    }
}

void WaterfallImage::drawLabel(int left, const std::string& text) {
    // Every label of the six capture rates' scales is baked; another would be left out.
    const ScaleLabel* label = drawnLabel(text);
    if (!label) return;
    const int height = static_cast<int>(label->rows.size()) / (3 * label->width);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < label->width; ++x) {
            const std::string_view digits = label->rows.substr(static_cast<std::size_t>(3 * (y * label->width + x)), 3);
            const int shade = (hexDigit(digits[0]) * 16 + hexDigit(digits[1])) * 16 + hexDigit(digits[2]);
            const int column = left + label->left + x;
            const int row = label->top + y;
            if (shade == 0 || column < 0 || column >= width_ || row >= kHeaderHeight) continue;
            pixels_[static_cast<std::size_t>(row * width_ + column)] = 0xFF000000u | kScaleShades[shade];
        }
}

void WaterfallImage::addRow(std::span<const Colour> row) {
    if (width_ == 0 || height_ == 0) return;
    // Scroll down by one row, then paint the new top row (pixels past the row keep the
    // last top row's).
    const auto width = static_cast<std::size_t>(width_);
    const int previous = newest_;
    newest_ = (newest_ + ringRows_ - 1) % ringRows_;
    std::uint32_t* top = ring_.data() + static_cast<std::size_t>(newest_) * width;
    if (previous != newest_) std::copy_n(ring_.data() + static_cast<std::size_t>(previous) * width, width, top);
    const std::size_t painted = std::min(width, row.size());
    for (std::size_t x = 0; x < painted; ++x) top[x] = toRgb(row[x]);
    stale_ = true;
    ++rows_;
}

std::span<const std::uint32_t> WaterfallImage::composed() const {
    if (stale_) {
        const auto width = static_cast<std::size_t>(width_);
        const int shown = std::min(ringRows_, height_);
        std::uint32_t* waterfall = pixels_.data() + static_cast<std::size_t>(kHeaderHeight) * width;
        for (int y = 0; y < shown; ++y)
            std::memcpy(waterfall + static_cast<std::size_t>(y) * width,
                        ring_.data() + static_cast<std::size_t>((newest_ + y) % ringRows_) * width,
                        width * sizeof(std::uint32_t));
        stale_ = false;
    }
    return pixels_;
}

}  // namespace orv
