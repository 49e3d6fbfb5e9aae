#pragma once

#include <cstdint>

namespace orv::simd {

// The instruction sets the numeric kernels are built for. Each kernel does the same IEEE
// operations in the same order on every level (lanes run across independent outputs), so
// the choice changes the speed, never a bit.
enum class Level { Baseline, Avx2, Avx512 };

// The kernels of one level. Arrays may not overlap unless said.
struct Kernels {
    // out[n] = round(Σ_t c[t] × (d[n + nearStart + t·step] ± d[n + farStart − t·step]) / scale),
    // summed in single precision in tap order from 0; `difference` takes the minus sign.
    // (A step of 2 leaves out every other tap of a filter whose odd taps are zero.)
    void (*pairFir)(const float* d, int nearStart, int farStart, int step, const float* c, int taps, bool difference,
                    float scale, int count, std::int32_t* out);
    // The radix-2 stages of a transform of 2^stages points, in place on bit-reversed input;
    // stage s uses its 2^s twiddles from cosine/sine + 2^s − 1, the sine negated when
    // `conjugate`.
    void (*butterflies)(float* re, float* im, int stages, const float* cosine, const float* sine, bool conjugate);
    // out[g] = round(sum / divisor) for each run g of `size` samples from in[g × size], the
    // sum in single precision from 0 in order.
    void (*runMeans)(const std::int32_t* in, int runs, int size, float divisor, std::int32_t* out);
    // out[k] = round(v[k]) with v limited to ±2.14e9.
    void (*toIntClamped)(const float* v, int count, std::int32_t* out);
    // out[k] = round(√((re² + im²) × scale) / length), re and im taken as floats.
    void (*magnitudes)(const std::int32_t* re, const std::int32_t* im, int count, float scale, float length,
                       std::int32_t* out);
    // i[k] + j·q[k] turned by the table angle at phase[k]: (i·c) / 40000 − (q·s) / 40000 and
    // (i·s) / 40000 + (q·c) / 40000 with c = cosine[phase[k]], s = sine[phase[k]], each
    // quotient truncated; in place.
    void (*rotate)(std::int32_t* i, std::int32_t* q, const std::int32_t* phase, int count, const std::int32_t* cosine,
                   const std::int32_t* sine);
    // out[k] = in[k × stride] × gain[k] / 100 (truncated), limited to ±32767.
    void (*applyGains)(const std::int16_t* in, int stride, const std::int32_t* gain, int count, std::int32_t* out);
    // out[k] = in[k × stride].
    void (*widen)(const std::int16_t* in, int stride, int count, std::int32_t* out);
    // The largest |in[k × stride]| of k < count, 0 for none.
    std::int32_t (*peakMagnitude)(const std::int16_t* in, int stride, int count);
    // out[k] = v[k]² / divisor × 10000 in double precision, the square exact.
    void (*scaledSquares)(const std::int32_t* v, int count, double divisor, double* out);
    // The sum of v[k]² modulo 2^64, and the largest square.
    std::uint64_t (*squareSum)(const std::int32_t* v, int count, std::int64_t* largest);
    // The narrow-FM deviation from the filtered power and correlation:
    // out[k] = round(((acos(s) / radiansPerCycle) − 1) × ifHz), s = correlation[k] /
    // max(power[k], 1) limited to 0 … 1, in single precision. The arc cosine is the C
    // library's single-precision one, operation for operation, so the lanes can take it.
    void (*fmDeviation)(const std::int32_t* power, const std::int32_t* correlation, int count, float radiansPerCycle,
                        float ifHz, float* out);
    // re[k] = round(x[k] × table[index[k]] / scale), im[k] = round(x[k] × table[index[k] + quarter] / scale):
    // the products whole, the quotients in single precision.
    void (*tableMix)(const std::int32_t* x, const std::int32_t* index, int count, const std::int32_t* table,
                     int quarter, float scale, std::int32_t* re, std::int32_t* im);
    // out[k] = 2 × √m in single precision, m = a[k]² + b[k]² kept to its low 32 bits as a
    // signed number, and 0 when that is negative.
    void (*envelope)(const std::int32_t* a, const std::int32_t* b, int count, float* out);
    // out[k] = the angle of a[k] + j·b[k] in units where `half` is a half turn: ±quarter or 0
    // on the axes, otherwise table[round(1000 × (|a| − |b|) / (|a| + |b|)) + 1000] (single
    // precision, the sums in 32-bit integers) put in the quadrant of (a, b).
    void (*angles)(const std::int32_t* a, const std::int32_t* b, int count, const std::int16_t* table,
                   std::int32_t quarter, std::int32_t half, std::int32_t* out);
};

// The best level this processor runs, chosen once.
Level bestLevel();
bool supported(Level level);
Level currentLevel();
// Switches every later kernel call to `level`; false (and no change) when the processor
// lacks it or the build has no kernels for it. For tests and benchmarks.
bool selectLevel(Level level);
const char* levelName(Level level);

const Kernels& kernels();

// Round to nearest, ties to even, as nearbyint does in the default rounding mode, without
// a library call: below 2^23 adding and taking away 2^23 leaves the rounded value; above,
// every float is whole already.
[[gnu::always_inline]] inline float roundEven(float v) {
    const float a = __builtin_fabsf(v);
    if (!(a < 8388608.0f)) return v;
    return __builtin_copysignf((a + 8388608.0f) - 8388608.0f, v);
}
[[gnu::always_inline]] inline double roundEven(double v) {
    const double a = __builtin_fabs(v);
    if (!(a < 4503599627370496.0)) return v;
    return __builtin_copysign((a + 4503599627370496.0) - 4503599627370496.0, v);
}

}  // namespace orv::simd
