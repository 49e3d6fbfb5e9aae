#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <string>

namespace orv {

inline constexpr std::int32_t kTuneStepHz = 10;
inline constexpr std::int32_t kIfFrequencyHz = 7000;

// Half of the tunable band: 22000 at 44100, 6000 at 12000, 5500 at 11025, Fee / 2 from
// 48000 up.
constexpr std::int32_t halfBandFor(int fee) {
    if (fee == 44100) return 22000;
    if (fee == 12000) return 6000;
    if (fee == 11025) return 5500;
    return fee / 2;
}

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
constexpr OffsetRange offsetRange(int mode, std::int32_t halfBand, std::int32_t b, bool receiverIsSdR) {
    switch (mode) {
        case 1: return {-halfBand, halfBand - b};
        case 2: return {b - halfBand, halfBand};
        case 3: return {b - halfBand, halfBand - b};
        case 4: return {5000 - halfBand, halfBand - 5000};
        default: return {receiverIsSdR ? -halfBand : 0, halfBand};
    }
}

// A mode button: the capture rates it allows (all when none are named) and the one it
// forces when the stored rate is not among them.
struct ModeButton {
    const char* name;
    int mode;
    std::array<int, 2> allowedRates;
    int forcedRate;

    bool restricted() const { return allowedRates[0] != 0; }
    bool allows(int rate) const { return !restricted() || rate == allowedRates[0] || rate == allowedRates[1]; }
};

inline constexpr ModeButton kModeButtons[] = {
    {"USB", 1, {}, 0},
    {"LSB", 2, {}, 0},
    {"AM", 3, {44100, 48000}, 48000},
    {"FM", 4, {44100, 48000}, 48000},
    {"FM_Commercial_96", 5, {96000, 96000}, 96000},
    {"FM_Commercial_192", 6, {192000, 192000}, 192000},
};

// The passband of a bandwidth button.
struct BandButton {
    const char* name;
    std::int32_t lowHz;
    std::int32_t widthHz;
};

inline constexpr BandButton kBandButtons[] = {
    {"Bande_550_850", 550, 300}, {"Bande_400_1100", 400, 700}, {"Bande_1200", 0, 1200}, {"Bande_2100", 0, 2100},
    {"Bande_2700", 0, 2700},     {"Bande_3300", 0, 3300},      {"Bande_4000", 0, 4000}, {"Bande_max", 0, 12000},
};

}  // namespace orv
