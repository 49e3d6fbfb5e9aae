#include "platform/qt_waterfall.hpp"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdlib>

namespace orv {
namespace {

TEST(QtWaterfall, RowsScrollDownWithTheNewestOnTopInTheRightColours) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "qt_waterfall_test";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    QtWaterfall w;
    w.reset(6, 4, scaleTicks(48000, 6));
    EXPECT_EQ(w.spectrum().pixel(3, 2) & 0xFFFFFF, 0xFFFFFFu);  // white at the start
    EXPECT_EQ(w.header().height(), QtWaterfall::kHeaderHeight);
    const std::vector<Colour> red(6, 0x0000FF);   // 0x00BBGGRR
    const std::vector<Colour> blue(6, 0xFF0000);
    w.addRow(red);
    w.addRow(blue);
    EXPECT_EQ(w.spectrum().pixel(0, 0) & 0xFFFFFF, 0x0000FFu);  // Qt's 0xRRGGBB: blue
    EXPECT_EQ(w.spectrum().pixel(0, 1) & 0xFFFFFF, 0xFF0000u);  // red, one row down
    EXPECT_EQ(w.spectrum().pixel(0, 2) & 0xFFFFFF, 0xFFFFFFu);
    const QImage both = w.composed();
    EXPECT_EQ(both.height(), QtWaterfall::kHeaderHeight + 4);
    EXPECT_EQ(both.pixel(5, QtWaterfall::kHeaderHeight) & 0xFFFFFF, 0x0000FFu);
}

}  // namespace
}  // namespace orv
