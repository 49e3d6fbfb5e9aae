#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "display/display.hpp"

namespace orv {

// The waterfall as pixels, 0xFFRRGGBB (the window shows them, the batch run saves them as
// PNG): the frequency scale on top, its labels baked from Qt's drawing (so the picture is
// the same on every machine, whatever its fonts), the rows below.
class WaterfallImage final : public WaterfallCanvas {
public:
    static constexpr int kHeaderHeight = 20;

    void reset(int width, int height, const std::vector<ScaleTick>& ticks) override;
    void addRow(std::span<const Colour> row) override;

    int width() const { return width_; }
    // Rows of the header and the waterfall under it; empty before the first reset.
    int height() const { return width_ > 0 ? kHeaderHeight + height_ : 0; }
    // The header above the waterfall, row after row.
    std::span<const std::uint32_t> composed() const;
    // Rows painted.
    std::int64_t rows() const { return rows_; }

    // A 0x00BBGGRR colour as 0xFFRRGGBB.
    static std::uint32_t toRgb(Colour c) {
        return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
    }

private:
    void drawScale(const std::vector<ScaleTick>& ticks);
    void drawLabel(int left, const std::string& text);

    int width_ = 0;
    int height_ = 0;
    // Header and waterfall in one picture; the waterfall part is brought up to date only
    // when looked at.
    mutable std::vector<std::uint32_t> pixels_;
    mutable bool stale_ = false;
    // The waterfall's rows are kept in a ring, newest at `newest_`: a row then costs one
    // row, not a scroll of all. The bottom row of the picture keeps its white, as the
    // scroll never reaches it.
    std::vector<std::uint32_t> ring_;
    int ringRows_ = 0;
    int newest_ = 0;
    std::int64_t rows_ = 0;
};

}  // namespace orv
