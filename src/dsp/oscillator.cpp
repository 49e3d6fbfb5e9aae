#include "dsp/oscillator.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "dsp/simd.hpp"

namespace orv {

namespace {

// Double precision gives every entry of the extended-precision definition (a test
// compares all of them) at a fraction of the start-up time.
std::int32_t scaled(double value, std::int32_t scale) {
    return static_cast<std::int32_t>(simd::roundEven(value * scale));
}

OscillatorTables buildTables() {
    OscillatorTables t;
    for (int k = 0; k <= OscillatorTables::kTurn; ++k) {
        const float angle = static_cast<float>(k) * 0.00017453292f;
        t.cosine[static_cast<std::size_t>(k)] = scaled(std::cos(static_cast<double>(angle)), OscillatorTables::kScale);
        t.sine[static_cast<std::size_t>(k)] = scaled(std::sin(static_cast<double>(angle)), OscillatorTables::kScale);
    }
    for (std::size_t k = 0; k < t.ifCosine.size(); ++k) {
        const float angle = static_cast<float>(k) * 0.0017453292f;
        t.ifCosine[k] = scaled(std::cos(static_cast<double>(angle)), OscillatorTables::kIfScale);
    }
    return t;
}

}  // namespace

const OscillatorTables& oscillatorTables() {
    static const OscillatorTables tables = buildTables();
    return tables;
}

void MixOscillator::advance(std::int32_t increment) {
    phase += increment;
    if (phase > OscillatorTables::kTurn)
        phase -= OscillatorTables::kTurn;
    else if (phase < 0)
        phase += OscillatorTables::kTurn;
    if (phase > OscillatorTables::kTurn) phase = OscillatorTables::kTurn;
    if (phase < 0) phase = 0;
}

std::pair<std::int32_t, std::int32_t> MixOscillator::rotateAtPhase(std::int32_t a, std::int32_t b) const {
    const auto& t = oscillatorTables();
    const std::int32_t c = t.cosine[static_cast<std::size_t>(phase)];
    const std::int32_t s = t.sine[static_cast<std::size_t>(phase)];
    return {a * c / 40000 - b * s / 40000, a * s / 40000 + b * c / 40000};
}

void MixOscillator::rotateBlock(std::int32_t* i, std::int32_t* q, int n) {
    const auto increment = static_cast<std::int32_t>(frequencyHz * 36000 / rate);
    if (simd::currentLevel() == simd::Level::Baseline) {
        // Without gathers the separate pass over the phases costs more than it saves.
        for (int k = 0; k < n; ++k) {
            advance(increment);
            const auto [ri, rq] = rotateAtPhase(i[k], q[k]);
            i[k] = ri;
            q[k] = rq;
        }
        return;
    }
    // The phases first (one short chain), then the rotations side by side.
    constexpr int kRun = 256;
    std::array<std::int32_t, kRun> phases;
    const auto& t = oscillatorTables();
    for (int done = 0; done < n; done += kRun) {
        const int length = std::min(kRun, n - done);
        for (int k = 0; k < length; ++k) {
            advance(increment);
            phases[static_cast<std::size_t>(k)] = phase;
        }
        simd::kernels().rotate(i + done, q + done, phases.data(), length, t.cosine.data(), t.sine.data());
    }
}

std::pair<std::int32_t, std::int32_t> MixOscillator::mixCorrected(std::int32_t a, std::int32_t b,
                                                                  std::int32_t amplitude,
                                                                  std::int32_t phaseCorrection) {
    step();
    const auto& t = oscillatorTables();
    const std::int32_t i = a * t.cosine[static_cast<std::size_t>(phase)] / 40000;
    // The quadrature branch has its own phase, corrected in steps of 0.09°.
    std::int32_t psi = phase + phaseCorrection * 9000 / 1000;
    if (psi > OscillatorTables::kTurn)
        psi -= OscillatorTables::kTurn;
    else if (psi < 0)
        psi += OscillatorTables::kTurn;
    const std::int32_t g = b * (amplitude + 1000) / 1000;
    return {i, g * t.sine[static_cast<std::size_t>(psi)] / 40000};
}

std::pair<std::int32_t, std::int32_t> MixOscillator::modulateAm(std::int32_t a) {
    step();
    const auto& t = oscillatorTables();
    const std::int32_t m = (a + 32767) / 2;
    return {t.cosine[static_cast<std::size_t>(phase)] * m / 40000, t.sine[static_cast<std::size_t>(phase)] * m / 40000};
}

std::pair<std::int32_t, std::int32_t> MixOscillator::modulateFm(std::int32_t a, std::int64_t deviationHz) {
    const std::int64_t offsetMilliHz = static_cast<std::int64_t>(a) * deviationHz * 1000 / 32767;
    advance(static_cast<std::int32_t>((frequencyHz * 36000 + offsetMilliHz * 36) / rate));
    const auto& t = oscillatorTables();
    return {t.cosine[static_cast<std::size_t>(phase)] * 32767 / 40000,
            t.sine[static_cast<std::size_t>(phase)] * 32767 / 40000};
}

std::uint8_t tuneToneByte(MixOscillator& tune) {
    tune.step();
    const std::int32_t s = oscillatorTables().sine[static_cast<std::size_t>(tune.phase)];
    return static_cast<std::uint8_t>(127 + (s * 254 / 40000) / 2);
}

void IfOscillator::step(std::int32_t feHundredth) {
    phase += frequencyHz * 3600 / feHundredth;
    if (phase > 360000) phase -= 360000;
    if (phase < 0) phase += 360000;
}

void IfOscillator::quadratureBlock(const std::int32_t* x, int n, std::int32_t feHundredth, std::int32_t* re,
                                   std::int32_t* im) {
    const std::int32_t increment = frequencyHz * 3600 / feHundredth;
    const auto& t = oscillatorTables().ifCosine;
    // The table indices first (one short chain), then the products side by side.
    constexpr int kRun = 256;
    std::array<std::int32_t, kRun> index;
    std::int32_t p = phase;
    for (int done = 0; done < n; done += kRun) {
        const int length = std::min(kRun, n - done);
        for (int k = 0; k < length; ++k) {
            p += increment;
            if (p > 360000) p -= 360000;
            if (p < 0) p += 360000;
            index[static_cast<std::size_t>(k)] = std::clamp(p / 100, 0, 3600);
        }
        simd::kernels().tableMix(x + done, index.data(), length, t.data(), 900, 5100.0f, re + done, im + done);
    }
    phase = p;
}

std::pair<float, float> IfOscillator::quadrature(std::int32_t x, std::int32_t index) const {
    if (index < 0) index = 0;
    if (index > 3600) index = 3600;
    const auto& t = oscillatorTables().ifCosine;
    const auto k = static_cast<std::size_t>(index);
    return {static_cast<float>(x * t[k]) / 5100.0f, static_cast<float>(x * t[k + 900]) / 5100.0f};
}

}  // namespace orv
