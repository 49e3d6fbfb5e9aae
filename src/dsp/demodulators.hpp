#pragma once

#include <array>
#include <cstdint>

#include "dsp/oscillator.hpp"

namespace orv {

// The phase of a + jb in units where π is 32766, from a 2001-entry arctangent table
// (ratios −1 … 1 in steps of 0.001).
std::int32_t angle(std::int32_t a, std::int32_t b);

// A first-order filter by the bilinear transform with period T and time constant τ,
// in single precision.
struct HighPass {
    float period = 1.0f / 48000;
    float tau = 0.0015915494f;  // 100 Hz
    float previousInput = 0;
    float previousOutput = 0;

    float step(float x) {
        const float y = (2 * tau * x - 2 * tau * previousInput - (period - 2 * tau) * previousOutput) / (2 * tau + period);
        previousInput = x;
        previousOutput = y;
        return y;
    }
};

// An 80-tap symmetric FIR at Fee with coefficients scaled by 100000 and two delay lines,
// summed in single precision in tap order.
class IfFilter {
public:
    void designBandPass(float lowHz, float highHz, int fee);
    void designLowPass(float cutoffHz, int fee);
    void clear();
    std::int32_t sample(int line, std::int32_t x);

private:
    std::array<std::int32_t, 40> c_{};
    std::array<std::array<std::int32_t, 80>, 2> d_{};
    std::array<int, 2> newest_{};  // ring position of d[0]
};

// The demodulators of AM, FM and broadcast FM. AM and FM take I/Q rotated so the carrier
// sits on the 7000 Hz intermediate frequency; broadcast FM takes the band's centre.
class Demodulators {
public:
    // IF band-pass 2500 … 11500 Hz, Hilbert transformer and its delay, the 100 Hz high-pass
    // and the 4500 Hz low-pass, for modes up to 4; for broadcast FM only the IF phase
    // restarts. The high-pass input, the FM and broadcast-FM previous samples run on.
    void setupIfFilters(int mode, int fee);
    std::int32_t demodulateAm(std::int32_t i, std::int32_t q, std::int32_t feHundredth);
    std::int32_t demodulateFm(std::int32_t i, std::int32_t q, int fee);
    std::int32_t discriminateBroadcastFm(std::int32_t i, std::int32_t q);
    // The 2120 Hz de-emphasis of broadcast FM at 192000, in double precision.
    std::int32_t deEmphasize(std::int32_t x);

    const IfOscillator& ifOscillator() const { return if_; }

private:
    std::int32_t ifSignal(std::int32_t i, std::int32_t q);

    IfOscillator if_;
    IfFilter bandPass_;
    IfFilter lowPass_;
    std::array<std::int32_t, 129> direct_{};   // i1, newest first
    std::array<std::int32_t, 129> hilbert_{};  // q1, newest first
    std::array<std::int32_t, 65> hilbertTaps_{};
    HighPass highPass_;
    std::int32_t fmPrevious_ = 0;
    std::int32_t broadcastI_ = 0;
    std::int32_t broadcastQ_ = 0;
    double emphasisInput_ = 0;
    double emphasisOutput_ = 0;
};

}  // namespace orv
