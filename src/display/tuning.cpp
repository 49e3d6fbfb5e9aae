// Tuning: the offset range, applying an offset with its readouts and markers, the
// waterfall, up-down control and wheel handlers, the mode and bandwidth buttons.
#include "display/tuning.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "core/station.hpp"

namespace orv {

std::int32_t Station::passbandTopHz() const {
    // The passband as the band filter makes it: cut at half the output rate, so at
    // 11025 and 12000 "max" still leaves a range to tune in.
    return std::min(s_.bandLowHz + s_.bandWidthHz, s_.fes / 2);
}

void Station::computeOffsetRange() {
    s_.halfBandHz = halfBandFor(s_.fee);
    const auto range = offsetRange(s_.mode, s_.halfBandHz, passbandTopHz(), s_.receiverIsSdR);
    s_.minOffsetHz = range.min;
    s_.maxOffsetHz = range.max;
}

std::string hfReadout(std::int32_t offsetHz, std::int32_t centreHz) {
    char text[32];
    std::snprintf(text, sizeof text, "%10.3f", (static_cast<double>(offsetHz) + centreHz) / 1000.0);
    // A space between the megahertz and the kilohertz: 7020000 reads "7 020.000".
    const std::string readout = text;
    const std::size_t split = readout.size() - 7;
    return readout.substr(0, split) + " " + readout.substr(split);
}

void Station::placeMarker(const char* name, std::int32_t hz) {
    controls_.setPosition(name, hzToPixel(hz, s_.halfBandHz));
    controls_.setVisible(name, true);
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
    controls_.setVisible("FREQUENCE_LSB", false);
    controls_.setText("FREQUENCE_USB", hfReadout(e, s_.centreFrequencyHz));

    const std::int32_t h = s_.halfBandHz;
    const std::int32_t b = passbandTopHz();
    controls_.setVisible("Image_limite_gauche_gauche", false);
    std::int32_t lowerEdge = e;  // LSB: the clamped lower edge
    switch (s_.mode) {
        case 1:
            placeMarker("Image_limite_gauche", e);
            placeMarker("Image_limite_droite", std::min(e + b, h));
            s_.rxMixFrequencyHz = -e;
            break;
        case 2:
            lowerEdge = std::max(e - b, -h);
            placeMarker("Image_limite_droite", e);
            placeMarker("Image_limite_gauche", lowerEdge);
            s_.rxMixFrequencyHz = -lowerEdge - b;
            break;
        case 3:
        case 4: {
            const std::int32_t side = s_.mode == 3 ? b : 5000;
            placeMarker("Image_limite_gauche_gauche", e);
            placeMarker("Image_limite_gauche", std::max(e - side, -h));
            placeMarker("Image_limite_droite", std::min(e + side, h));
            s_.rxMixFrequencyHz = -e;
            s_.ifMixFrequencyHz = kIfFrequencyHz - e;
            break;
        }
        default:
            placeMarker("Image_limite_gauche_gauche", 0);
            placeMarker("Image_limite_gauche", -h);
            placeMarker("Image_limite_droite", h);
            s_.rxMixFrequencyHz = 0;
            s_.ifMixFrequencyHz = 0;
    }
    receive_.designBandFilter(s_.bandLowHz, s_.bandLowHz + s_.bandWidthHz, s_.fes, s_.halfBlock);
    // The low-cut marker of the narrow CW bands.
    if (s_.mode <= 2) {
        if (s_.bandLowHz > 0)
            placeMarker("Image_limite_gauche_gauche",
                        std::min(s_.mode == 1 ? e + s_.bandLowHz : lowerEdge + s_.bandWidthHz, h));
        else
            controls_.setVisible("Image_limite_gauche_gauche", false);
    }
}

void Station::setTuneOffset(double offsetHz) {
    s_.tuneOffsetHz = static_cast<std::int32_t>(std::nearbyint(offsetHz));
    applyTuning(s_.tuneOffsetHz);
}

void Station::tuneToPixel(int x) {
    if (s_.firstRetune)
        s_.firstRetune = false;
    else
        s_.tuneOffsetHz = pixelToHz(x, s_.halfBandHz);
    applyTuning(s_.tuneOffsetHz);
    receive_.resetResampler();
    s_.refillLevelSum = 0;
    s_.refillCount = 0;
}

void Station::spectrumMouseDown(int x) {
    if (!s_.sweepOn && display_.transformReady() && !s_.fixedFrequency) tuneToPixel(x);
}

void Station::spectrumMouseMove(int x) {
    if (s_.sweepOn && display_.transformReady() && !s_.fixedFrequency) tuneToPixel(x);
}

void Station::tuningControlClick(int position) {
    mainCycle();
    setTuneOffset(static_cast<double>(kTuneStepHz) * position);
    mainCycle();
}

void Station::mouseWheel(int notches) {
    // Wheels send bursts; steps closer than 10 ms are one step.
    const std::int64_t now = ports_.clock.nowMs();
    if (now - lastWheelMs_ < 10) return;
    lastWheelMs_ = now;
    if (s_.fixedFrequency) return;
    const Control& control = controls_.get("REGLAGE_FREQUENCE");
    const int position = std::clamp(control.position + (notches > 0 ? 10 : -10), control.minimum, control.maximum);
    controls_.setPosition("REGLAGE_FREQUENCE", position);
    setTuneOffset(static_cast<double>(kTuneStepHz) * position);
}

void Station::fixedFrequencyClick(bool down) {
    s_.fixedFrequency = down;
    controls_.setDown("La_Frequence_fixe", down);
    if (down) s_.fixedOffsetHz = s_.tuneOffsetHz;
    controls_.setEnabled("REGLAGE_FREQUENCE", !down);
}

void Station::sweepClick(bool down) {
    s_.sweepOn = down;
    controls_.setDown("Balayage", down);
}

void Station::spectrumAgcClick(bool down) {
    s_.spectrumAgcOn = down;
    controls_.setDown("Bouton_CAG_Spectre", down);
}

void Station::greyWaterfallClick(bool down) {
    s_.greyWaterfall = down;
    controls_.setDown("Bouton_spectre_gris", down);
}

void Station::historyClick(bool down) {
    controls_.setDown("Historique", down);
    controls_.setVisible("Memo_Versions", down);
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
