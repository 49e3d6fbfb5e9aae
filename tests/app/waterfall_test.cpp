// The waterfall of the demo band, drawn by a headless batch run and read back.
#include <QImage>

#include "display/tuning.hpp"
#include "support/program_run.hpp"

namespace orv::test {
namespace {

class Waterfall : public ProgramRun {
protected:
    // How hot a column is: red plus green, averaged over the waterfall's rows.
    static double heat(const QImage& image, int x) {
        double sum = 0;
        for (int y = 20; y < image.height(); ++y) {
            const QRgb p = image.pixel(x, y);
            sum += qRed(p) + qGreen(p);
        }
        return sum / (image.height() - 20);
    }
    static double heat(const QImage& image, int fromHz, int toHz) {
        double sum = 0;
        const int from = hzToPixel(fromHz, 24000);
        const int to = hzToPixel(toHz, 24000);
        for (int x = from; x <= to; ++x) sum += heat(image, x);
        return sum / (to - from + 1);
    }
};

TEST_F(Waterfall, TheDemoStationsAreTracesAtTheirColumnsUnderTheScale) {
    ASSERT_EQ(run("--headless --batch --rx-file " + std::string(ORVANDEL_DATA) + "/demo_band.wav --waterfall " +
                  path("band.png")),
              0)
        << err;
    const QImage image(QString::fromStdString(path("band.png")));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 780);
    EXPECT_EQ(image.height(), 20 + 80);
    // The header is the scale's pale green with black labels and ticks.
    EXPECT_EQ(image.pixel(389, 19) & 0xFFFFFF, 0x000000u);  // the centre tick (12 × 779 / 24) reaches the bottom
    EXPECT_EQ(image.pixel(395, 19) & 0xFFFFFF, 0xC0DCC0u);

    const double quiet = heat(image, -4000, 4000);
    EXPECT_GT(heat(image, 6500, 8500), quiet * 3) << quiet;     // the USB voice
    EXPECT_GT(heat(image, -11500, -9500), quiet * 3) << quiet;  // the LSB voice
    const int cw = hzToPixel(15000, 24000);
    EXPECT_GT(heat(image, cw), heat(image, cw - 20) * 2);       // the CW carrier
    EXPECT_GT(heat(image, cw), heat(image, cw + 20) * 2);
}

}  // namespace
}  // namespace orv::test
