#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "dsp/demodulators.hpp"
#include "dsp/mode.hpp"
#include "ui/controls_model.hpp"

namespace orv {

inline constexpr std::int32_t kTuneStepHz = 10;

// The waterfall column of an offset: round((W − 1) × (f / H + 1) / 2) in single
// precision, W the display width.
inline int hzToPixel(std::int32_t hz, std::int32_t halfBand, int width = 780) {
    const float x = static_cast<float>(width - 1) * (static_cast<float>(hz) / static_cast<float>(halfBand) + 1.0f) / 2.0f;
    return static_cast<int>(std::nearbyint(x));
}
// The offset of a column: H × 2x / (W − 1) − H, integer.
constexpr std::int32_t pixelToHz(int x, std::int32_t halfBand, int width = 780) {
    return halfBand * (2 * x) / (width - 1) - halfBand;
}

// The HF frequency being received, in kHz with three decimals in a field of 10, a space
// between the megahertz and the kilohertz.
std::string hfReadout(std::int32_t offsetHz, std::int32_t centreHz);

struct OffsetRange {
    std::int32_t min;
    std::int32_t max;
};

// The offsets the receiver may be tuned to in a mode, so the passband stays inside the
// band: B is BandLow + BandWidth.
constexpr OffsetRange offsetRange(Mode mode, std::int32_t halfBand, std::int32_t b, bool receiverIsSdR) {
    switch (mode) {
        case Mode::Usb: return {-halfBand, halfBand - b};
        case Mode::Lsb: return {b - halfBand, halfBand};
        case Mode::Am: return {b - halfBand, halfBand - b};
        case Mode::Fm: return {5000 - halfBand, halfBand - 5000};
        default: return {receiverIsSdR ? -halfBand : 0, halfBand};
    }
}

// A mode button: the capture rates it allows (all when none are named) and the one it
// forces when the stored rate is not among them.
struct ModeButton {
    const char* name;
    Mode mode;
    std::array<int, 2> allowedRates;
    int forcedRate;

    bool restricted() const { return allowedRates[0] != 0; }
    bool allows(int rate) const { return !restricted() || rate == allowedRates[0] || rate == allowedRates[1]; }
};

inline constexpr ModeButton kModeButtons[] = {
    {"USB", Mode::Usb, {}, 0},
    {"LSB", Mode::Lsb, {}, 0},
    {"AM", Mode::Am, {44100, 48000}, 48000},
    {"FM", Mode::Fm, {44100, 48000}, 48000},
    {"FM_Commercial_96", Mode::BroadcastFm96, {96000, 96000}, 96000},
    {"FM_Commercial_192", Mode::BroadcastFm192, {192000, 192000}, 192000},
};

inline const ModeButton& modeButton(Mode mode) { return kModeButtons[modeNumber(mode) - 1]; }

// The passband of a bandwidth button, and the word the command line names it by.
struct BandButton {
    const char* name;
    std::int32_t lowHz;
    std::int32_t widthHz;
    const char* commandLine;
};

inline constexpr BandButton kBandButtons[] = {
    {"Bande_550_850", 550, 300, "550-850"}, {"Bande_400_1100", 400, 700, "400-1100"},
    {"Bande_1200", 0, 1200, "1200"},        {"Bande_2100", 0, 2100, "2100"},
    {"Bande_2700", 0, 2700, "2700"},        {"Bande_3300", 0, 3300, "3300"},
    {"Bande_4000", 0, 4000, "4000"},        {"Bande_max", 0, 12000, "max"},
};

// What tuning depends on, owned elsewhere: the mode and the receive chain's rates.
struct TuningContext {
    Mode mode = Mode::Usb;
    int fee = 44100;
    int fes = 11025;
    bool receiverIsSdR = true;
};

// The shifts that bring the tuned signal to 0 Hz (sideband) or to the intermediate
// frequency (AM, FM).
struct MixFrequencies {
    std::int64_t rxHz = 0;
    std::int64_t ifHz = 0;
};

// The tuning: the requested offset and the range it may take, the passband, the fixed
// frequency, sweeping, the HF centre frequency. Applying an offset shows it in the
// tuning controls and the passband markers and answers the mixer frequencies.
class Tuning {
public:
    void computeOffsetRange(const TuningContext& context);
    // Clamps and applies `offsetHz` (the fixed offset instead while it is fixed).
    MixFrequencies apply(std::int32_t offsetHz, const TuningContext& context, ControlsModel& controls);
    // The passband as the band filter makes it: BandLow + BandWidth, cut at Fes / 2.
    std::int32_t passbandTopHz(int fes) const { return std::min(bandLowHz_ + bandWidthHz_, fes / 2); }

    std::int32_t offsetHz() const { return offsetHz_; }
    void setOffsetHz(std::int32_t hz) { offsetHz_ = hz; }
    // The offset of a waterfall column, or the stored one on the first open after start-up.
    void retuneToPixel(int x) {
        if (firstRetune_)
            firstRetune_ = false;
        else
            offsetHz_ = pixelToHz(x, halfBandHz_);
    }
    void setBand(std::int32_t lowHz, std::int32_t widthHz) {
        bandLowHz_ = lowHz;
        bandWidthHz_ = widthHz;
    }
    std::int32_t bandLowHz() const { return bandLowHz_; }
    std::int32_t bandWidthHz() const { return bandWidthHz_; }
    std::int32_t halfBandHz() const { return halfBandHz_; }
    std::int32_t minOffsetHz() const { return minOffsetHz_; }
    std::int32_t maxOffsetHz() const { return maxOffsetHz_; }
    // La_Frequence_fixe: the offset stays where it is when the button goes down.
    void setFixed(bool fixed) {
        fixed_ = fixed;
        if (fixed) fixedOffsetHz_ = offsetHz_;
    }
    bool fixed() const { return fixed_; }
    void setSweep(bool on) { sweep_ = on; }
    bool sweep() const { return sweep_; }
    void setCentreFrequencyHz(std::int32_t hz) { centreFrequencyHz_ = hz; }
    std::int32_t centreFrequencyHz() const { return centreFrequencyHz_; }
    // Wheels send bursts: a notch within 10 ms of the last one taken is not taken.
    bool takeWheelNotch(std::int64_t nowMs) {
        if (nowMs - lastWheelMs_ < 10) return false;
        lastWheelMs_ = nowMs;
        return true;
    }

private:
    void placeMarker(ControlsModel& controls, const char* name, std::int32_t hz) const;

    std::int32_t offsetHz_ = 10000;  // requested offset from the band centre
    std::int32_t halfBandHz_ = 22000;
    std::int32_t minOffsetHz_ = -16500;
    std::int32_t maxOffsetHz_ = 16500;
    std::int32_t bandLowHz_ = 0;
    std::int32_t bandWidthHz_ = 3300;
    bool fixed_ = false;
    std::int32_t fixedOffsetHz_ = 0;
    bool firstRetune_ = true;  // the first open re-applies the stored offset
    bool sweep_ = false;
    std::int32_t centreFrequencyHz_ = 7020000;  // the HF frequency at 0 Hz of the band
    std::int64_t lastWheelMs_ = -1000;
};

}  // namespace orv
