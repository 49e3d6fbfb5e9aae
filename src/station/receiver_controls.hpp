#pragma once

#include <cstdint>
#include <string_view>

#include "dsp/mode.hpp"

namespace orv {

class Station;

// The receiver's controls: the mode, bandwidth, gain-control and noise-reducer buttons,
// and tuning by the waterfall's mouse, the up-down control and the wheel, with the
// display buttons beside them.
class ReceiverControls {
public:
    explicit ReceiverControls(Station& station) : st_(station) {}

    void modeClick(Mode mode);
    void bandClick(std::string_view button);
    void noiseReducerClick(std::string_view button, bool down);
    void rxAgcClick(bool down);  // Bouton_CAG_RX

    // The offset range for the mode and passband; the offset applied with its readouts,
    // markers, mixer frequencies and band filter.
    void computeOffsetRange();
    void applyTuning(std::int32_t offsetHz);
    // REGLAGE_FREQUENCE's value: stored, then applied.
    void setTuneOffset(double offsetHz);
    // The waterfall column x (or the stored offset at the first open) tuned to, the rate
    // regulator and its statistics restarted.
    void tuneToPixel(int x);
    void spectrumMouseDown(int x);
    void spectrumMouseMove(int x);
    void tuningControlClick(int position);
    // +1 a notch down, −1 up: one step of ten positions of the up-down control.
    void mouseWheel(int notches);
    void fixedFrequencyClick(bool down);
    void sweepClick(bool down);
    void spectrumAgcClick(bool down);
    void greyWaterfallClick(bool down);
    void historyClick(bool down);
    void otherFrequenciesClick();  // Autres_frequences_SDR

private:
    Station& st_;
};

}  // namespace orv
