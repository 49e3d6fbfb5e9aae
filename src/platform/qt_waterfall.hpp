#pragma once

#include <QImage>
#include <string>
#include <vector>

#include "display/display.hpp"

namespace orv {

// The waterfall drawn into images: the scale header (Image_entete) and the waterfall
// (Image_spectre), which a window shows and a headless run saves as a PNG.
class QtWaterfall final : public WaterfallCanvas {
public:
    static constexpr int kHeaderHeight = 20;

    void reset(int width, int height, const std::vector<ScaleTick>& ticks) override;
    void addRow(std::span<const Colour> row) override;

    const QImage& header() const { return header_; }
    const QImage& spectrum() const;
    // The header above the waterfall.
    QImage composed() const;
    bool savePng(const std::string& path, std::string& reason) const;
    // Rows painted.
    std::int64_t rows() const { return rows_; }

    // A 0x00BBGGRR colour as Qt's RGB.
    static QRgb toRgb(Colour c) { return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF)); }

private:
    void drawScale(const std::vector<ScaleTick>& ticks);

    QImage header_;
    // The waterfall's rows are kept in a ring, newest at `newest_`, and copied into the
    // image only when it is looked at: a row then costs one row, not a scroll of all.
    // The bottom row of the image keeps its white, as the scroll never reaches it.
    mutable QImage spectrum_;
    mutable bool stale_ = false;
    std::vector<QRgb> ring_;
    int ringRows_ = 0;
    int newest_ = 0;
    std::int64_t rows_ = 0;
};

}  // namespace orv
