#include "station/receiver_controls.hpp"

#include <algorithm>
#include <cmath>

#include "station/station.hpp"

namespace orv {

void ReceiverControls::computeOffsetRange() { st_.tuning_.computeOffsetRange(st_.tuningContext()); }

void ReceiverControls::applyTuning(std::int32_t offsetHz) {
    const MixFrequencies mix = st_.tuning_.apply(offsetHz, st_.tuningContext(), st_.controls_);
    st_.receive_.setMixFrequencies(mix.rxHz, mix.ifHz);
    const Tuning& tuning = st_.tuning_;
    st_.receive_.designBandFilter(tuning.bandLowHz(), tuning.bandLowHz() + tuning.bandWidthHz(), kHalfBlock);
}

void ReceiverControls::setTuneOffset(double offsetHz) {
    st_.tuning_.setOffsetHz(static_cast<std::int32_t>(std::nearbyint(offsetHz)));
    applyTuning(st_.tuning_.offsetHz());
}

void ReceiverControls::tuneToPixel(int x) {
    st_.tuning_.retuneToPixel(x);
    applyTuning(st_.tuning_.offsetHz());
    st_.receive_.resetResampler();
    st_.engine_.clearRefillStatistics();
}

void ReceiverControls::spectrumMouseDown(int x) {
    if (!st_.tuning_.sweep() && st_.display_.transformReady() && !st_.tuning_.fixed()) tuneToPixel(x);
}

void ReceiverControls::spectrumMouseMove(int x) {
    if (st_.tuning_.sweep() && st_.display_.transformReady() && !st_.tuning_.fixed()) tuneToPixel(x);
}

void ReceiverControls::tuningControlClick(int position) {
    st_.mainCycle();
    setTuneOffset(static_cast<double>(kTuneStepHz) * position);
    st_.mainCycle();
}

void ReceiverControls::mouseWheel(int notches) {
    if (!st_.tuning_.takeWheelNotch(st_.ports_.clock.nowMs())) return;
    if (st_.tuning_.fixed()) return;
    const Control& control = st_.controls_.get("REGLAGE_FREQUENCE");
    const int position = std::clamp(control.position + (notches > 0 ? 10 : -10), control.minimum, control.maximum);
    st_.controls_.setPosition("REGLAGE_FREQUENCE", position);
    setTuneOffset(static_cast<double>(kTuneStepHz) * position);
}

void ReceiverControls::fixedFrequencyClick(bool down) {
    st_.tuning_.setFixed(down);
    st_.controls_.setDown("La_Frequence_fixe", down);
    st_.controls_.setEnabled("REGLAGE_FREQUENCE", !down);
}

void ReceiverControls::sweepClick(bool down) {
    st_.tuning_.setSweep(down);
    st_.controls_.setDown("Balayage", down);
}

void ReceiverControls::spectrumAgcClick(bool down) {
    st_.receive_.setSpectrumAgc(down);
    st_.controls_.setDown("Bouton_CAG_Spectre", down);
}

void ReceiverControls::greyWaterfallClick(bool down) {
    st_.display_.setGrey(down);
    st_.controls_.setDown("Bouton_spectre_gris", down);
}

void ReceiverControls::rxAgcClick(bool down) {
    st_.receive_.setRxAgc(down);
    st_.controls_.setDown("Bouton_CAG_RX", down);
}

void ReceiverControls::historyClick(bool down) {
    st_.controls_.setDown("Historique", down);
    st_.controls_.setVisible("Memo_Versions", down);
}

void ReceiverControls::otherFrequenciesClick() { st_.ports_.view.openFrequencyMemory(); }

void ReceiverControls::modeClick(Mode mode) {
    const ModeButton& button = modeButton(mode);
    st_.receive_.setMode(mode);
    for (const auto& b : kModeButtons) st_.controls_.setDown(b.name, b.mode == mode);
    for (const auto& item : kRateItems) st_.controls_.setEnabled(item.name, button.allows(item.rate));
    // A mode that cannot run at the stored rate forces one it can, stored and applied.
    std::uint8_t& stored = st_.store_.record()[config::kCaptureRate];
    if (!button.allows(captureRateFromCode(stored))) stored = captureRateCode(button.forcedRate);
    if (captureRateFromCode(stored) != st_.engine_.sizes().fee) st_.soundMenus_.applySampleRate();
    if (button.restricted()) st_.settingsController_.writeConfig();
    if (!isSideband(mode)) st_.receive_.setupIfFilters();
    if (isBroadcastFm(mode)) bandClick("Bande_max");
    computeOffsetRange();
    applyTuning(st_.tuning_.offsetHz());
    st_.mainCycle();
    st_.controls_.setEnabled("Box_Fonctions_TX", !isBroadcastFm(mode));
}

void ReceiverControls::noiseReducerClick(std::string_view button, bool down) {
    // The two buttons exclude each other and may both be up.
    ControlsModel& controls = st_.controls_;
    const bool weak = button == "REDUCTEUR_WIENER_FAIBLE" ? down : (down ? false : controls.get("REDUCTEUR_WIENER_FAIBLE").down);
    const bool strong = button == "REDUCTEUR_WIENER_FORT" ? down : (down ? false : controls.get("REDUCTEUR_WIENER_FORT").down);
    controls.setDown("REDUCTEUR_WIENER_FAIBLE", weak);
    controls.setDown("REDUCTEUR_WIENER_FORT", strong);
    st_.receive_.setNoiseReducerLevel(strong ? 3 : (weak ? 2 : 1));
    if (st_.receive_.config().noiseReducerLevel != 1) st_.receive_.resetNoiseReducer();
}

void ReceiverControls::bandClick(std::string_view button) {
    const auto it = std::find_if(std::begin(kBandButtons), std::end(kBandButtons),
                                 [&](const BandButton& b) { return button == b.name; });
    if (it == std::end(kBandButtons)) return;
    st_.tuning_.setBand(it->lowHz, it->widthHz);
    for (const auto& b : kBandButtons) st_.controls_.setDown(b.name, b.name == it->name);
    if (st_.engine_.sizes().fes() < st_.engine_.sizes().fee) st_.receive_.initAntiAlias();
    computeOffsetRange();
    applyTuning(st_.tuning_.offsetHz());
}

}  // namespace orv
