#pragma once

#include <array>
#include <cstdint>
#include <utility>

namespace orv {

// Sine and cosine in steps of 0.01° (entry 36000 closes the turn), scaled so 40000 is
// 1.0; the AM intermediate-frequency cosine in steps of 0.1°, 900 entries past one turn
// so a read at index + 900 (the sine) never leaves the table, scaled so 5100 is 1.0.
struct OscillatorTables {
    static constexpr int kTurn = 36000;
    static constexpr std::int32_t kScale = 40000;
    static constexpr std::int32_t kIfScale = 5100;

    std::array<std::int32_t, kTurn + 1> cosine{};
    std::array<std::int32_t, kTurn + 1> sine{};
    std::array<std::int32_t, 4501> ifCosine{};
};

// The tables, built once: the angle is the single-precision product of the index and
// the step in radians; sine and cosine are taken in extended precision, scaled and
// rounded to nearest, ties to even.
const OscillatorTables& oscillatorTables();

// A table oscillator: phase in 0.01°, stepped by (frequency × 36000) div rate per sample.
// A step of more than one turn is clamped, not wrapped. The receive mixers and the
// transmit modulators share one of these; each sets frequency and rate before its run.
class MixOscillator {
public:
    std::int32_t phase = 0;
    std::int64_t frequencyHz = 0;
    std::int32_t rate = 44100;

    void step() { advance(static_cast<std::int32_t>(frequencyHz * 36000 / rate)); }
    // Steps, then rotates a + jb by the new phase; each quotient truncates on its own.
    std::pair<std::int32_t, std::int32_t> rotate(std::int32_t a, std::int32_t b) {
        step();
        return rotateAtPhase(a, b);
    }
    std::pair<std::int32_t, std::int32_t> rotateAtPhase(std::int32_t a, std::int32_t b) const;
    void advance(std::int32_t increment);

    // Rotates n samples in place; the same as n calls of rotate() with the step worked
    // out once.
    void rotateBlock(std::int32_t* i, std::int32_t* q, int n);

    // Transmit modulators.
    std::pair<std::int32_t, std::int32_t> mixCorrected(std::int32_t a, std::int32_t b, std::int32_t amplitude,
                                                       std::int32_t phaseCorrection);
    std::pair<std::int32_t, std::int32_t> modulateAm(std::int32_t a);
    std::pair<std::int32_t, std::int32_t> modulateFm(std::int32_t a, std::int64_t deviationHz = 2000);
};

// The tune tone: one unsigned 8-bit sample centred on 127 per call.
std::uint8_t tuneToneByte(MixOscillator& tune);

// AM and narrow FM are demodulated with the tuned carrier on this frequency.
inline constexpr std::int32_t kIfFrequencyHz = 7000;

// The AM demodulator's intermediate-frequency oscillator, phase in 0.001°.
class IfOscillator {
public:
    std::int32_t phase = 0;
    std::int32_t frequencyHz = kIfFrequencyHz;

    void step(std::int32_t feHundredth);
    // (x·cos θ, −x·sin θ) for the table index (0.1° steps), clamped into the table.
    std::pair<float, float> quadrature(std::int32_t x, std::int32_t index) const;
    // n samples of step() then quadrature(x, phase / 100), the step worked out once, each
    // value rounded to the nearest whole (ties to even).
    void quadratureBlock(const std::int32_t* x, int n, std::int32_t feHundredth, std::int32_t* re, std::int32_t* im);
};

}  // namespace orv
