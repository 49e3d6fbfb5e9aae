#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "dsp/filters.hpp"
#include "dsp/oscillator.hpp"
#include "dsp/simd.hpp"

namespace orv {

// Angles of the broadcast-FM discriminator: π is 32766, π/2 is 16383.
inline constexpr std::int32_t kAngleHalfTurn = 32766;
inline constexpr std::int32_t kAngleQuarterTurn = 16383;

// The phase of a + jb in those units, from a 2001-entry arctangent table (ratios −1 … 1
// in steps of 0.001).
std::int32_t angle(std::int32_t a, std::int32_t b);

// A first-order high-pass by the bilinear transform with period T and time constant τ,
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

// The demodulators of AM, FM and broadcast FM, on runs of samples at Fee. AM and FM take
// I/Q rotated so the carrier sits on the 7000 Hz intermediate frequency; broadcast FM
// takes the band's centre. Each writes its audio over I (Q is left alone).
class Demodulators {
public:
    // IF band-pass 2500 … 11500 Hz (80 taps), Hilbert transformer (129 taps) and its
    // delay, the 100 Hz high-pass and the 4500 Hz low-pass, for modes up to 4; for
    // broadcast FM only the IF phase restarts. The high-pass input, the FM and
    // broadcast-FM previous samples run on.
    void setupIfFilters(int mode, int fee);
    void demodulateAm(std::int32_t* i, std::int32_t* q, int count, std::int32_t feHundredth) {
        demodulateAm(i, q, count, feHundredth, [](int) {});
    }
    void demodulateFm(std::int32_t* i, std::int32_t* q, int count, int fee) {
        demodulateFm(i, q, count, fee, [](int) {});
    }
    // The same, calling alongside(n) after output n of the closing high-pass, one chain of
    // dependent steps that independent work in the same loop overlaps.
    template <typename Alongside>
    void demodulateAm(std::int32_t* i, std::int32_t* q, int count, std::int32_t feHundredth, Alongside&& alongside) {
        amEnvelope(i, q, count, feHundredth);
        highPassInto(i, count, 1.0f, alongside);
    }
    template <typename Alongside>
    void demodulateFm(std::int32_t* i, std::int32_t* q, int count, int fee, Alongside&& alongside) {
        fmDeviation(i, q, count, fee);
        highPassInto(i, count, 6.0f, alongside);
    }
    void discriminateBroadcastFm(std::int32_t* i, const std::int32_t* q, int count);
    // The 2120 Hz de-emphasis of broadcast FM at 192000, in double precision.
    std::int32_t deEmphasize(std::int32_t x) {
        deEmphasize(&x, 1);
        return x;
    }
    // The same over a run, in place.
    void deEmphasize(std::int32_t* x, int count) {
        deEmphasize(x, count, [](int) {});
    }
    // The same, calling alongside(k) after sample k: work that does not depend on the
    // de-emphasis runs in the same loop and overlaps its chain of dependent steps.
    template <typename Alongside>
    void deEmphasize(std::int32_t* x, int count, Alongside&& alongside) {
        constexpr double kPeriod = 1.0 / 192000;
        constexpr double kTau = 7.507308636410157e-05;
        double previousInput = emphasisInput_;
        double previousOutput = emphasisOutput_;
        for (int n = 0; n < count; ++n) {
            const double input = x[n];
            const double y = (kPeriod * input + kPeriod * previousInput - (kPeriod - 2 * kTau) * previousOutput) /
                             (2 * kTau + kPeriod);
            previousInput = input;
            previousOutput = y;
            x[n] = static_cast<std::int32_t>(simd::roundEven(y));
            alongside(n);
        }
        emphasisInput_ = previousInput;
        emphasisOutput_ = previousOutput;
    }

    // One sample at a time, the same as a run of one.
    std::int32_t demodulateAm(std::int32_t i, std::int32_t q, std::int32_t feHundredth) {
        demodulateAm(&i, &q, 1, feHundredth);
        return i;
    }
    std::int32_t demodulateFm(std::int32_t i, std::int32_t q, int fee) {
        demodulateFm(&i, &q, 1, fee);
        return i;
    }
    std::int32_t discriminateBroadcastFm(std::int32_t i, std::int32_t q) {
        discriminateBroadcastFm(&i, &q, 1);
        return i;
    }

private:
    // The stages before the high-pass, leaving its input in mixedRe_.
    void amEnvelope(std::int32_t* i, std::int32_t* q, int count, std::int32_t feHundredth);
    void fmDeviation(std::int32_t* i, std::int32_t* q, int count, int fee);
    // i[n] = the 16-bit clamp of gain × the high-pass of mixedRe_[n] (AM takes gain 1,
    // which leaves the value as it is); the state stays in registers.
    template <typename Alongside>
    void highPassInto(std::int32_t* i, int count, float gain, Alongside& alongside) {
        HighPass highPass = highPass_;
        const float* x = mixedRe_.data();
        for (int n = 0; n < count; ++n) {
            const float y = gain * highPass.step(x[n]);
            i[n] = static_cast<std::int32_t>(std::clamp(simd::roundEven(y), -32768.0f, 32767.0f));
            alongside(n);
        }
        highPass_ = highPass;
    }

    // The real IF signal: band-passed I delayed by 64 minus the Hilbert transform of the
    // band-passed Q, halved. Written over i.
    void ifSignal(std::int32_t* i, std::int32_t* q, int count);

    IfOscillator if_;
    SymmetricFir bandPass_;  // channel 0 for I, 1 for Q
    SymmetricFir lowPass_;   // two delay lines
    std::array<std::int32_t, 65> hilbertTaps_{};
    std::vector<std::int32_t> direct_ = std::vector<std::int32_t>(64, 0);  // the last 64 i1, oldest first
    std::vector<float> hilbert_ = std::vector<float>(128, 0.0f);          // the last 128 q1, oldest first
    std::array<float, 32> hilbertOdd_{};  // h_1, h_3 … h_63: the even taps are zero
    std::vector<std::int32_t> shifted_;
    std::vector<float> mixedRe_;
    std::vector<std::int32_t> a_;
    std::vector<std::int32_t> b_;
    HighPass highPass_;
    std::int32_t fmPrevious_ = 0;
    std::int32_t broadcastI_ = 0;
    std::int32_t broadcastQ_ = 0;
    double emphasisInput_ = 0;
    double emphasisOutput_ = 0;
};

}  // namespace orv
