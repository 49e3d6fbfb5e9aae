#include <gtest/gtest.h>

#include "display/waterfall_image.hpp"
#include "qt_scale_text.hpp"

namespace orv {
namespace {

// The baked glyphs draw the scale as Qt draws it with this machine's fonts, pixel for
// pixel, at every capture rate (tools/scale_glyphs bakes them anew if the fonts change).
TEST(ScaleGlyphs, TheScaleIsQtsDrawingAtEveryRate) {
    for (const int fee : {11025, 12000, 44100, 48000, 96000, 192000}) {
        const auto ticks = scaleTicks(fee, Display::kWidth);
        const QImage reference = qtScaleHeader(Display::kWidth, WaterfallImage::kHeaderHeight, ticks);
        WaterfallImage baked;
        baked.reset(Display::kWidth, Display::kHeight, ticks);
        const std::span<const std::uint32_t> pixels = baked.composed();
        for (int y = 0; y < WaterfallImage::kHeaderHeight; ++y)
            for (int x = 0; x < Display::kWidth; ++x)
                ASSERT_EQ(pixels[static_cast<std::size_t>(y * Display::kWidth + x)] & 0xFFFFFF,
                          reference.pixel(x, y) & 0xFFFFFF)
                    << fee << " at " << x << ", " << y;
    }
}

}  // namespace
}  // namespace orv
