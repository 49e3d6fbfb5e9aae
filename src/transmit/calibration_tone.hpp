#pragma once

#include <cstdint>
#include <span>

#include "dsp/oscillator.hpp"
#include "sound/wave_engine.hpp"

namespace orv {

// The calibration tone: one I/Q tone of amplitude 29400 at the oscillator's frequency,
// with its own balance correction (amplitude in thousandths, phase in steps of 0.09°),
// read at every frame so a slider acts at once. The oscillator's first output is I (left
// channel), its corrected second output Q (right), so the tone lies above the carrier
// as the modulator's USB does.
class CalibrationTone final : public ToneSource {
public:
    explicit CalibrationTone(MixOscillator& mix) : mix_(mix) {}

    std::int32_t amplitudeCorrection = 0;
    std::int32_t phaseCorrection = 0;

    void fill(std::span<std::int16_t> frames) override {
        constexpr std::int32_t kAmplitude = 29400;
        for (std::size_t n = 0; n + 1 < frames.size(); n += 2) {
            const auto [a, b] = mix_.mixCorrected(kAmplitude, kAmplitude, amplitudeCorrection, phaseCorrection);
            frames[n] = static_cast<std::int16_t>(a);
            frames[n + 1] = static_cast<std::int16_t>(b);
        }
    }

private:
    MixOscillator& mix_;
};

}  // namespace orv
