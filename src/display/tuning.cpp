// Applying a tuning offset, the mode buttons USB and LSB and the bandwidth buttons.
#include "display/tuning.hpp"

#include <algorithm>
#include <cmath>

#include "core/station.hpp"

namespace orv {

void Station::computeOffsetRange() {
    s_.halfBandHz = halfBandFor(s_.fee);
    const auto range = offsetRange(s_.mode, s_.halfBandHz, s_.bandLowHz + s_.bandWidthHz, s_.receiverIsSdR);
    s_.minOffsetHz = range.min;
    s_.maxOffsetHz = range.max;
}

void Station::applyTuning(std::int32_t offsetHz) {
    if (s_.fixedFrequency) {
        s_.fixedOffsetHz = std::clamp(s_.fixedOffsetHz, s_.minOffsetHz, s_.maxOffsetHz);
        offsetHz = s_.fixedOffsetHz;
    }
    offsetHz = std::clamp(offsetHz, s_.minOffsetHz, s_.maxOffsetHz);
    const auto position = static_cast<std::int32_t>(std::nearbyint(static_cast<double>(offsetHz) / kTuneStepHz));
    controls_.setPosition("REGLAGE_FREQUENCE", position);
    const std::int32_t e = position * kTuneStepHz;
    controls_.setText("Label_frequence", std::to_string(e) + " Hz");
    const std::int32_t h = s_.halfBandHz;
    const std::int32_t b = s_.bandLowHz + s_.bandWidthHz;
    switch (s_.mode) {
        case 1: s_.rxMixFrequencyHz = -e; break;
        case 2: s_.rxMixFrequencyHz = -std::max(e - b, -h) - b; break;
        case 3:
        case 4:
            s_.rxMixFrequencyHz = -e;
            s_.ifMixFrequencyHz = kIfFrequencyHz - e;
            break;
        default:
            s_.rxMixFrequencyHz = 0;
            s_.ifMixFrequencyHz = 0;
    }
    receive_.designBandFilter(s_.bandLowHz, s_.bandLowHz + s_.bandWidthHz, s_.fes, s_.halfBlock);
}

void Station::setTuneOffset(double offsetHz) {
    s_.tuneOffsetHz = static_cast<std::int32_t>(std::nearbyint(offsetHz));
    applyTuning(s_.tuneOffsetHz);
}

void Station::modeClick(int mode) {
    const ModeButton& button = kModeButtons[mode - 1];
    s_.mode = mode;
    for (const auto& b : kModeButtons) controls_.setDown(b.name, b.mode == mode);
    for (const auto& item : kRateItems) controls_.setEnabled(item.name, button.allows(item.rate));
    // A mode that cannot run at the stored rate forces one it can, stored and applied.
    std::uint8_t& stored = config_[config::kCaptureRate];
    if (!button.allows(captureRateFromCode(stored))) stored = captureRateCode(button.forcedRate);
    if (captureRateFromCode(stored) != s_.fee) applySampleRate();
    if (button.restricted()) writeConfig();
    if (mode >= 3) receive_.setupIfFilters(mode, s_.fee);
    if (mode >= 5) bandClick("Bande_max");
    computeOffsetRange();
    applyTuning(s_.tuneOffsetHz);
    mainCycle();
    controls_.setEnabled("Box_Fonctions_TX", mode < 5);
}

void Station::noiseReducerClick(std::string_view button, bool down) {
    // The two buttons exclude each other and may both be up.
    const bool weak = button == "REDUCTEUR_WIENER_FAIBLE" ? down : (down ? false : controls_.get("REDUCTEUR_WIENER_FAIBLE").down);
    const bool strong = button == "REDUCTEUR_WIENER_FORT" ? down : (down ? false : controls_.get("REDUCTEUR_WIENER_FORT").down);
    controls_.setDown("REDUCTEUR_WIENER_FAIBLE", weak);
    controls_.setDown("REDUCTEUR_WIENER_FORT", strong);
    s_.noiseReducerLevel = strong ? 3 : (weak ? 2 : 1);
    if (s_.noiseReducerLevel != 1) receive_.resetNoiseReducer(s_.noiseReducerLevel, s_.fes);
}

void Station::bandClick(std::string_view button) {
    const auto it = std::find_if(std::begin(kBandButtons), std::end(kBandButtons),
                                 [&](const BandButton& b) { return button == b.name; });
    if (it == std::end(kBandButtons)) return;
    s_.bandLowHz = it->lowHz;
    s_.bandWidthHz = it->widthHz;
    for (const auto& b : kBandButtons) controls_.setDown(b.name, b.name == it->name);
    if (s_.fes < s_.fee) receive_.initAntiAlias(s_.fee);
    computeOffsetRange();
    applyTuning(s_.tuneOffsetHz);
}

}  // namespace orv
