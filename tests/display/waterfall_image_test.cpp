#include "display/waterfall_image.hpp"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(WaterfallImage, RowsScrollDownWithTheNewestOnTopInTheRightColours) {
    WaterfallImage w;
    EXPECT_EQ(w.height(), 0);
    w.reset(6, 4, scaleTicks(48000, 6));
    ASSERT_EQ(w.height(), WaterfallImage::kHeaderHeight + 4);
    const auto at = [&](int x, int y) { return w.composed()[static_cast<std::size_t>(y * w.width() + x)]; };
    constexpr int top = WaterfallImage::kHeaderHeight;
    EXPECT_EQ(at(3, top + 2), 0xFFFFFFFFu);  // white at the start
    EXPECT_EQ(at(3, 0), 0xFFC0DCC0u);        // the scale's background
    const std::vector<Colour> red(6, 0x0000FF);  // 0x00BBGGRR
    const std::vector<Colour> blue(6, 0xFF0000);
    w.addRow(red);
    w.addRow(blue);
    EXPECT_EQ(at(0, top), 0xFF0000FFu);  // 0xFFRRGGBB: blue
    EXPECT_EQ(at(5, top + 1), 0xFFFF0000u);  // red, one row down
    EXPECT_EQ(at(0, top + 2), 0xFFFFFFFFu);
    // The bottom row keeps its white however long the waterfall runs.
    for (int k = 0; k < 10; ++k) w.addRow(red);
    EXPECT_EQ(at(0, top + 3), 0xFFFFFFFFu);
    EXPECT_EQ(w.rows(), 12);
}

// The ticks run black from under the labels to the bottom of the scale; labels past the
// picture's edges are cut there.
TEST(WaterfallImage, TicksRunUnderTheLabelsAndLabelsAreCutAtTheEdges) {
    WaterfallImage w;
    w.reset(40, 2, {{5, 0, "-24", -3}, {39, 0, "24", 30}, {60, 0, "96", 55}});
    const auto at = [&](int x, int y) { return w.composed()[static_cast<std::size_t>(y * w.width() + x)]; };
    constexpr std::uint32_t background = 0xFFC0DCC0;
    EXPECT_EQ(at(5, 10), background);  // between the digits and the tick
    for (int y = 11; y < WaterfallImage::kHeaderHeight; ++y) {
        EXPECT_EQ(at(5, y), 0xFF000000u) << y;
        EXPECT_EQ(at(39, y), 0xFF000000u) << y;
    }
    EXPECT_NE(at(0, 6), background);  // the end of the minus sign that starts off the picture
    EXPECT_NE(at(6, 5), background);  // the 2
}

}  // namespace
}  // namespace orv
