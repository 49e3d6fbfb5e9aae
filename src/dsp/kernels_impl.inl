// The numeric kernels, written once and compiled once per instruction set with
// ORV_KERNEL_NAMESPACE and ORV_LANES (floats in a vector) defined. Everything here stays in
// that namespace and uses only compiler built-ins, so no out-of-line copy built for a
// wider set can be shared with a narrower one.
//
// Vectors run across independent outputs: every lane does the scalar code's operations in
// its order (no fused multiply-add, no reassociation), so all levels give the same bits.
#include <cstdint>
#include <cstring>
#include <utility>

#include "dsp/simd.hpp"

namespace orv::simd::ORV_KERNEL_NAMESPACE {
namespace {

constexpr int W = ORV_LANES;
using vf = float __attribute__((vector_size(4 * W)));
using vi = std::int32_t __attribute__((vector_size(4 * W)));

inline vf load(const float* p) {
    vf v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void store(float* p, vf v) { std::memcpy(p, &v, sizeof v); }
inline void store(std::int32_t* p, vi v) { std::memcpy(p, &v, sizeof v); }
inline vf splat(float x) { return vf{} + x; }

inline float roundScalar(float v) {
    const float a = __builtin_fabsf(v);
    if (!(a < 8388608.0f)) return v;
    return __builtin_copysignf((a + 8388608.0f) - 8388608.0f, v);
}

// roundScalar on every lane.
inline vi roundToInt(vf v) {
    const vi bits = reinterpret_cast<vi>(v);
    const vi sign = bits & static_cast<std::int32_t>(0x80000000u);
    const vf a = reinterpret_cast<vf>(bits & 0x7FFFFFFF);
    vf r = (a + 8388608.0f) - 8388608.0f;
    r = reinterpret_cast<vf>(reinterpret_cast<vi>(r) | sign);
    const vf rounded = a < 8388608.0f ? r : v;
    return __builtin_convertvector(rounded, vi);
}

template <bool Difference>
inline vf term(vf c, vf near, vf far) {
    return Difference ? c * (near - far) : c * (near + far);
}

template <bool Difference>
void pairFirT(const float* d, int nearStart, int farStart, int step, const float* c, int taps, float scale, int count,
              std::int32_t* out) {
    const vf s = splat(scale);
    int n = 0;
    // Four vectors of outputs at a time, their sums held in registers over all taps.
    for (; n + 4 * W <= count; n += 4 * W) {
        vf a0{}, a1{}, a2{}, a3{};
        const float* near = d + n + nearStart;
        const float* far = d + n + farStart;
        for (int t = 0; t < taps; ++t) {
            const vf ct = splat(c[t]);
            const float* nt = near + t * step;
            const float* ft = far - t * step;
            a0 += term<Difference>(ct, load(nt), load(ft));
            a1 += term<Difference>(ct, load(nt + W), load(ft + W));
            a2 += term<Difference>(ct, load(nt + 2 * W), load(ft + 2 * W));
            a3 += term<Difference>(ct, load(nt + 3 * W), load(ft + 3 * W));
        }
        store(out + n, roundToInt(a0 / s));
        store(out + n + W, roundToInt(a1 / s));
        store(out + n + 2 * W, roundToInt(a2 / s));
        store(out + n + 3 * W, roundToInt(a3 / s));
    }
    for (; n + W <= count; n += W) {
        vf a{};
        const float* near = d + n + nearStart;
        const float* far = d + n + farStart;
        for (int t = 0; t < taps; ++t) a += term<Difference>(splat(c[t]), load(near + t * step), load(far - t * step));
        store(out + n, roundToInt(a / s));
    }
    for (; n < count; ++n) {
        float a = 0;
        for (int t = 0; t < taps; ++t) {
            const float near = d[n + nearStart + t * step];
            const float far = d[n + farStart - t * step];
            a += Difference ? c[t] * (near - far) : c[t] * (near + far);
        }
        out[n] = static_cast<std::int32_t>(roundScalar(a / scale));
    }
}

void pairFir(const float* d, int nearStart, int farStart, int step, const float* c, int taps, bool difference,
             float scale, int count, std::int32_t* out) {
    if (difference)
        pairFirT<true>(d, nearStart, farStart, step, c, taps, scale, count, out);
    else
        pairFirT<false>(d, nearStart, farStart, step, c, taps, scale, count, out);
}

// The stages with fewer than W butterflies per group work inside pairs of vectors: the
// upper and lower halves of the groups are gathered into two vectors by shuffles, the
// butterflies run lane by lane, and the results are shuffled back in place.
using Lanes = std::make_integer_sequence<int, W>;
template <int H, int... I>
inline vi lowerHalves(std::integer_sequence<int, I...>) { return vi{((I / H) * 2 * H + I % H)...}; }
template <int H, int... I>
inline vi upperHalves(std::integer_sequence<int, I...>) { return vi{((I / H) * 2 * H + I % H + H)...}; }
// Where position P (0 … 2W − 1) of the pair comes from: lane m of the lower (m) or upper (W + m) results.
constexpr int back(int p, int h) { return (p / h) % 2 == 0 ? (p / (2 * h)) * h + p % h : W + (p / (2 * h)) * h + p % h; }
template <int H, int Offset, int... I>
inline vi backFrom(std::integer_sequence<int, I...>) { return vi{back(I + Offset, H)...}; }

// Lanes picked from a pair of vectors (index W + m is lane m of the second). GCC has the
// two-vector shuffle with a run-time mask; clang (the fuzz build) picks lane by lane,
// which moves the same values.
inline vf shuffle(vf a, vf b, vi index) {
#if defined(__clang__)
    vf out{};
    for (int k = 0; k < W; ++k) out[k] = index[k] < W ? a[index[k]] : b[index[k] - W];
    return out;
#else
    return __builtin_shuffle(a, b, index);
#endif
}

template <int H>
inline void smallStages(vf& re0, vf& re1, vf& im0, vf& im1, const vf* cs, const vf* sn) {
    if constexpr (H < W) {
        const vi lower = lowerHalves<H>(Lanes{});
        const vi upper = upperHalves<H>(Lanes{});
        const vf ar = shuffle(re0, re1, lower);
        const vf ai = shuffle(im0, im1, lower);
        const vf pr = shuffle(re0, re1, upper);
        const vf pi = shuffle(im0, im1, upper);
        const vf tRe = *cs * pr + *sn * pi;
        const vf tIm = *cs * pi - *sn * pr;
        const vf aRe = ar + tRe;
        const vf aIm = ai + tIm;
        const vf pRe = ar - tRe;
        const vf pIm = ai - tIm;
        const vi first = backFrom<H, 0>(Lanes{});
        const vi second = backFrom<H, W>(Lanes{});
        re0 = shuffle(aRe, pRe, first);
        re1 = shuffle(aRe, pRe, second);
        im0 = shuffle(aIm, pIm, first);
        im1 = shuffle(aIm, pIm, second);
        smallStages<2 * H>(re0, re1, im0, im1, cs + 1, sn + 1);
    }
}

constexpr int log2W() {
    int s = 0;
    while ((1 << s) < W) ++s;
    return s;
}

void butterflies(float* re, float* im, int stages, const float* cosine, const float* sine, bool conjugate) {
    const int n = 1 << stages;
    const float sign = conjugate ? -1.0f : 1.0f;
    const vf vsign = splat(sign);
    int st = 0;
    if (n >= 2 * W) {
        // Twiddles of the small stages, lane m of stage h holding twiddle m mod h.
        vf cs[log2W() + 1];
        vf sn[log2W() + 1];
        for (int k = 0; k < log2W(); ++k) {
            const int h = 1 << k;
            for (int m = 0; m < W; ++m) {
                cs[k][m] = cosine[h - 1 + m % h];
                sn[k][m] = sign * sine[h - 1 + m % h];
            }
        }
        for (int c = 0; c < n; c += 2 * W) {
            vf re0 = load(re + c), re1 = load(re + c + W), im0 = load(im + c), im1 = load(im + c + W);
            smallStages<1>(re0, re1, im0, im1, cs, sn);
            store(re + c, re0);
            store(re + c + W, re1);
            store(im + c, im0);
            store(im + c + W, im1);
        }
        st = log2W();
    }
    for (; st < stages; ++st) {
        const int h = 1 << st;
        const float* cs = cosine + (h - 1);
        const float* sn = sine + (h - 1);
        for (int c = 0; c < n; c += 2 * h) {
            float* aRe = re + c;
            float* aIm = im + c;
            float* pRe = aRe + h;
            float* pIm = aIm + h;
            int j = 0;
            if (h >= W) {
                for (; j < h; j += W) {
                    const vf vc = load(cs + j);
                    const vf vs = vsign * load(sn + j);
                    const vf pr = load(pRe + j);
                    const vf pi = load(pIm + j);
                    const vf ar = load(aRe + j);
                    const vf ai = load(aIm + j);
                    const vf tRe = vc * pr + vs * pi;
                    const vf tIm = vc * pi - vs * pr;
                    store(pRe + j, ar - tRe);
                    store(pIm + j, ai - tIm);
                    store(aRe + j, ar + tRe);
                    store(aIm + j, ai + tIm);
                }
            }
            for (; j < h; ++j) {
                const float vc = cs[j];
                const float vs = sign * sn[j];
                const float tRe = vc * pRe[j] + vs * pIm[j];
                const float tIm = vc * pIm[j] - vs * pRe[j];
                pRe[j] = aRe[j] - tRe;
                pIm[j] = aIm[j] - tIm;
                aRe[j] += tRe;
                aIm[j] += tIm;
            }
        }
    }
}

// Runs of 4 and 8 (the decimation ratios) get their length at compile time, so the lanes
// take one run each; Size 0 reads it at run time.
template <int Size>
void runMeansOf(const std::int32_t* __restrict in, int runs, int size, float divisor, std::int32_t* __restrict out) {
    const int length = Size != 0 ? Size : size;
    for (int g = 0; g < runs; ++g) {
        float sum = 0.0f;
        for (int j = 0; j < length; ++j) sum += static_cast<float>(in[g * length + j]);
        out[g] = static_cast<std::int32_t>(roundScalar(sum / divisor));
    }
}

void runMeans(const std::int32_t* in, int runs, int size, float divisor, std::int32_t* out) {
    if (size == 4) return runMeansOf<4>(in, runs, size, divisor, out);
    if (size == 8) return runMeansOf<8>(in, runs, size, divisor, out);
    runMeansOf<0>(in, runs, size, divisor, out);
}

void toIntClamped(const float* v, int count, std::int32_t* out) {
    for (int k = 0; k < count; ++k) {
        float x = v[k];
        x = x > 2.14e9f ? 2.14e9f : x;
        x = x < -2.14e9f ? -2.14e9f : x;
        out[k] = static_cast<std::int32_t>(roundScalar(x));
    }
}

void magnitudes(const std::int32_t* re, const std::int32_t* im, int count, float scale, float length,
                std::int32_t* out) {
    for (int k = 0; k < count; ++k) {
        const float r = static_cast<float>(re[k]);
        const float i = static_cast<float>(im[k]);
        const float power = (r * r + i * i) * scale;
        out[k] = static_cast<std::int32_t>(roundScalar(__builtin_sqrtf(power) / length));
    }
}

// The loops below are plain ones that the compiler spreads across the lanes of each level
// (gathers, multiplies of whole numbers, divisions by a constant, strided loads).
void rotate(std::int32_t* __restrict i, std::int32_t* __restrict q, const std::int32_t* __restrict phase, int count,
            const std::int32_t* __restrict cosine, const std::int32_t* __restrict sine) {
    for (int k = 0; k < count; ++k) {
        const std::int32_t a = i[k];
        const std::int32_t b = q[k];
        const std::int32_t c = cosine[phase[k]];
        const std::int32_t s = sine[phase[k]];
        i[k] = a * c / 40000 - b * s / 40000;
        q[k] = a * s / 40000 + b * c / 40000;
    }
}

void applyGains(const std::int16_t* __restrict in, int stride, const std::int32_t* __restrict gain, int count,
                std::int32_t* __restrict out) {
    const auto limited = [](std::int32_t v) { return v > 32767 ? 32767 : (v < -32767 ? -32767 : v); };
    if (stride == 2) {
        for (int k = 0; k < count; ++k) out[k] = limited(in[2 * k] * gain[k] / 100);
    } else {
        for (int k = 0; k < count; ++k) out[k] = limited(in[k * stride] * gain[k] / 100);
    }
}

void widen(const std::int16_t* __restrict in, int stride, int count, std::int32_t* __restrict out) {
    if (stride == 2) {
        for (int k = 0; k < count; ++k) out[k] = in[2 * k];
    } else {
        for (int k = 0; k < count; ++k) out[k] = in[k * stride];
    }
}

std::int32_t peakMagnitude(const std::int16_t* __restrict in, int stride, int count) {
    const auto magnitude = [](std::int32_t v) { return v < 0 ? -v : v; };
    std::int32_t peak = 0;
    if (stride == 2) {
        for (int k = 0; k < count; ++k) peak = peak > magnitude(in[2 * k]) ? peak : magnitude(in[2 * k]);
    } else {
        for (int k = 0; k < count; ++k) peak = peak > magnitude(in[k * stride]) ? peak : magnitude(in[k * stride]);
    }
    return peak;
}

void scaledSquares(const std::int32_t* __restrict v, int count, double divisor, double* __restrict out) {
    for (int k = 0; k < count; ++k) out[k] = static_cast<double>(v[k]) * v[k] / divisor * 10000;
}

std::uint64_t squareSum(const std::int32_t* __restrict v, int count, std::int64_t* largest) {
    std::uint64_t sum = 0;
    std::int64_t most = 0;
    for (int k = 0; k < count; ++k) {
        const std::int64_t square = static_cast<std::int64_t>(v[k]) * v[k];
        sum += static_cast<std::uint64_t>(square);
        most = most > square ? most : square;
    }
    *largest = most;
    return sum;
}

inline float fromBits(std::uint32_t b) { return __builtin_bit_cast(float, b); }
inline std::uint32_t toBits(float f) { return __builtin_bit_cast(std::uint32_t, f); }

// acosf of 0 ≤ x ≤ 1 as the C library works it out (a rational approximation below 0.5,
// through √((1 − x) / 2) with a split root above), both ways worked and one kept, so the
// lanes need no branch. Checked against the library for every float in 0 … 1.
inline float arcCosine(float x) {
    const float pio2Hi = fromBits(0x3fc90fda), pio2Lo = fromBits(0x33a22168);
    const float p0 = fromBits(0x3e2aaaab), p1 = fromBits(0xbea6b090), p2 = fromBits(0x3e4e0aa8),
                p3 = fromBits(0xbd241146), p4 = fromBits(0x3a4f7f04), p5 = fromBits(0x3811ef08);
    const float q1 = fromBits(0xc019d139), q2 = fromBits(0x4001572d), q3 = fromBits(0xbf303361),
                q4 = fromBits(0x3d9dc62e);
    const std::uint32_t ix = toBits(x) & 0x7fffffffu;
    // Below 0.5.
    const float zl = x * x;
    const float pl = zl * (p0 + zl * (p1 + zl * (p2 + zl * (p3 + zl * (p4 + zl * p5)))));
    const float ql = 1.0f + zl * (q1 + zl * (q2 + zl * (q3 + zl * q4)));
    const float low = pio2Hi - (x - (pio2Lo - x * (pl / ql)));
    // From 0.5 up.
    const float z = (1.0f - x) * 0.5f;
    const float s = __builtin_sqrtf(z);
    const float df = fromBits(toBits(s) & 0xfffff000u);
    const float c = (z - df * df) / (s + df);
    const float p = z * (p0 + z * (p1 + z * (p2 + z * (p3 + z * (p4 + z * p5)))));
    const float q = 1.0f + z * (q1 + z * (q2 + z * (q3 + z * q4)));
    const float high = 2.0f * (df + ((p / q) * s + c));
    const float result = ix < 0x3f000000u ? (ix <= 0x23000000u ? pio2Hi + pio2Lo : low) : high;
    return ix == 0x3f800000u ? 0.0f : result;
}

void fmDeviation(const std::int32_t* __restrict power, const std::int32_t* __restrict correlation, int count,
                 float radiansPerCycle, float ifHz, float* __restrict out) {
    for (int k = 0; k < count; ++k) {
        const std::int32_t p = power[k] > 1 ? power[k] : 1;
        float s = static_cast<float>(correlation[k]) / static_cast<float>(p);
        s = s < 0.0f ? 0.0f : (s > 1.0f ? 1.0f : s);
        const float r = arcCosine(s) / radiansPerCycle;
        out[k] = roundScalar((r - 1.0f) * ifHz);
    }
}

void tableMix(const std::int32_t* __restrict x, const std::int32_t* __restrict index, int count,
              const std::int32_t* __restrict table, int quarter, float scale, std::int32_t* __restrict re,
              std::int32_t* __restrict im) {
    for (int k = 0; k < count; ++k) {
        re[k] = static_cast<std::int32_t>(roundScalar(static_cast<float>(x[k] * table[index[k]]) / scale));
        im[k] = static_cast<std::int32_t>(roundScalar(static_cast<float>(x[k] * table[index[k] + quarter]) / scale));
    }
}

void envelope(const std::int32_t* __restrict a, const std::int32_t* __restrict b, int count, float* __restrict out) {
    for (int k = 0; k < count; ++k) {
        // The low 32 bits of the sum of squares, as 32-bit products give them.
        const auto ua = static_cast<std::uint32_t>(a[k]);
        const auto ub = static_cast<std::uint32_t>(b[k]);
        const auto m = static_cast<std::int32_t>(ua * ua + ub * ub);
        out[k] = 2.0f * __builtin_sqrtf(static_cast<float>(m < 0 ? 0 : m));
    }
}

void angles(const std::int32_t* __restrict a, const std::int32_t* __restrict b, int count,
            const std::int16_t* __restrict table, std::int32_t quarter, std::int32_t half, std::int32_t* __restrict out) {
    for (int k = 0; k < count; ++k) {
        const std::int32_t x = a[k];
        const std::int32_t y = b[k];
        // |x| ± |y| as 32-bit integer arithmetic leaves them.
        const std::uint32_t ux = x < 0 ? 0u - static_cast<std::uint32_t>(x) : static_cast<std::uint32_t>(x);
        const std::uint32_t uy = y < 0 ? 0u - static_cast<std::uint32_t>(y) : static_cast<std::uint32_t>(y);
        const auto difference = static_cast<std::int32_t>(ux - uy);
        const auto sum = static_cast<std::int32_t>(ux + uy);
        // Off the axes the ratio lies within ±1 (at −2^31, −2^31 the sum wraps to 0 and the
        // true ratio, 0, is taken); on them its lane is not used.
        const float ratio = static_cast<float>(difference) / static_cast<float>(sum == 0 ? 1 : sum);
        std::int32_t index = static_cast<std::int32_t>(roundScalar(ratio * 1000.0f)) + 1000;
        index = index < 0 ? 0 : (index > 2000 ? 2000 : index);
        const std::int32_t d = table[index];
        const std::int32_t inQuadrant = x > 0 ? (y > 0 ? d : -d) : (y > 0 ? half - d : d - half);
        const std::int32_t onY = y > 0 ? quarter : (y < 0 ? -quarter : 0);
        const std::int32_t onX = x < 0 ? -half : 0;
        out[k] = x == 0 ? onY : (y == 0 ? onX : inQuadrant);
    }
}

}  // namespace

const Kernels& table() {
    static const Kernels k{pairFir,    butterflies,   runMeans,      toIntClamped, magnitudes,
                           rotate,     applyGains,    widen,         peakMagnitude, scaledSquares,
                           squareSum,  fmDeviation,   tableMix,      envelope,     angles};
    return k;
}

}  // namespace orv::simd::ORV_KERNEL_NAMESPACE
