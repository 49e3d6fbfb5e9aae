#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dsp/fft.hpp"
#include "dsp/level_history.hpp"

namespace orv {

// Half of the displayed and tunable band: 22000 at 44100, 5500 at 11025, 6000 at 12000,
// Fee / 2 otherwise.
constexpr std::int32_t halfBandHz(int fee) {
    if (fee == 44100) return 22000;
    if (fee == 11025) return 5500;
    if (fee == 12000) return 6000;
    return fee / 2;
}

// Colours are 0x00BBGGRR: blue in the high byte, red in the low byte.
using Colour = std::uint32_t;
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kScaleBackground = 0xC0DCC0;

// The colour of a waterfall value a (1 … 3000 after scaling): grey levels, or black
// through blue, grey and yellow to orange and red.
Colour waterfallColour(std::int32_t a, bool grey);

// One tick of the frequency scale above the waterfall.
struct ScaleTick {
    int x = 0;             // column of the tick
    std::int32_t hz = 0;   // its offset from the centre
    std::string label;
    int labelLeft = 0;     // where the label's left edge goes
};

// The frequency scale for a capture rate over `width` columns.
std::vector<ScaleTick> scaleTicks(int fee, int width);

// Where the waterfall is drawn; the station hands it whole rows and the scale.
class WaterfallCanvas {
public:
    virtual ~WaterfallCanvas() = default;
    // A new size: the scale is drawn anew and the waterfall turns white.
    virtual void reset(int width, int height, const std::vector<ScaleTick>& ticks) = 0;
    // Scrolls the waterfall down by one row and paints `row` at the top.
    virtual void addRow(std::span<const Colour> row) = 0;
};

// The spectrum display: the input level meter, the display-rate divider, the averaged
// spectrum mapped to the columns of the waterfall, and the colours of each new row.
class Display {
public:
    static constexpr int kWidth = 780;
    static constexpr int kHeight = 80;

    struct Level {
        double percent = 0;
        int meterPosition = 0;  // TrackBar_niveau, 0 … 20
        bool saturated = false; // 70 % or more
    };

    // InitDisplay: the half span and ticks for `fee`; the canvas, when there is one,
    // gets the scale and turns white.
    void initDisplay(int fee, WaterfallCanvas* canvas);
    // InitTransform: the analysis for `blockLength` samples at `captureRate`.
    void initTransform(int captureRate, int blockLength);
    bool transformReady() const { return transformReady_; }

    // One processing block's display samples. Returns true when a row was made.
    bool updateDisplay(std::span<const std::int32_t> i, std::span<const std::int32_t> q, int fee, int fes,
                       std::int32_t inputGain, bool spectrumAgc, WaterfallCanvas* canvas);
    // Bouton_spectre_gris: grey levels instead of colours.
    void setGrey(bool grey) { grey_ = grey; }
    bool grey() const { return grey_; }

    // The level of a block of display samples, before the display's gain.
    Level measureLevel(std::span<const std::int32_t> i, std::span<const std::int32_t> q, std::int32_t inputGain,
                       bool spectrumAgc);
    // The meter's reading: √(Σ squares / |i|) over the samples of i and q, rounded, each
    // square taken back by the gain (× 10000 / gain², 0: no gain) and summed in order.
    std::int32_t roundedRms(std::span<const std::int32_t> i, std::span<const std::int32_t> q, std::int32_t gain);
    // Whether this block is displayed: every block when Fee = Fes, else one in two up to
    // 48000 and one in Fee / 24000 above.
    bool divideDisplayRate(int fee, int fes);
    // The averaged spectrum mapped onto the columns (column 0 is never written).
    void mapSpectrum(int captureRate);
    // The row's colours: values scaled to fill 3000 with the spectrum AGC (at most ×100).
    std::vector<Colour> rowColours(bool spectrumAgc, bool grey) const;

    std::span<const std::int32_t> line() const { return line_; }
    std::span<std::int32_t> line() { return line_; }
    const Level& level() const { return level_; }
    std::int32_t halfSpanHz() const { return halfSpan_; }
    std::int64_t rowsShown() const { return rows_; }
    std::int64_t blocksSeen() const { return blocks_; }
    SpectrumAverager& spectrum() { return spectrum_; }

private:
    IntegerFft fft_;
    SpectrumAverager spectrum_;
    bool transformReady_ = false;
    int blockLength_ = 2048;
    std::int32_t halfSpan_ = 22000;
    std::array<std::int32_t, kWidth> line_{};
    int divider_ = 0;
    LevelHistory levelHistory_;
    std::vector<double> squares_;
    bool grey_ = false;
    Level level_;
    std::int64_t rows_ = 0;
    std::int64_t blocks_ = 0;
};

}  // namespace orv
