#include "dsp/simd.hpp"

namespace orv::simd {

namespace baseline { const Kernels& table(); }
#if defined(__x86_64__) || defined(__i386__)
#define ORV_SIMD_X86 1
namespace avx2 { const Kernels& table(); }
namespace avx512 { const Kernels& table(); }
#endif

namespace {

const Kernels& tableFor(Level level) {
#ifdef ORV_SIMD_X86
    if (level == Level::Avx512) return avx512::table();
    if (level == Level::Avx2) return avx2::table();
#endif
    (void)level;
    return baseline::table();
}

struct Active {
    Level level = bestLevel();
    const Kernels* kernels = &tableFor(level);
};

Active& active() {
    static Active a;
    return a;
}

}  // namespace

bool supported(Level level) {
    if (level == Level::Baseline) return true;
#ifdef ORV_SIMD_X86
    __builtin_cpu_init();
    if (level == Level::Avx2) return __builtin_cpu_supports("avx2");
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl");
#else
    return false;
#endif
}

Level bestLevel() {
    if (supported(Level::Avx512)) return Level::Avx512;
    if (supported(Level::Avx2)) return Level::Avx2;
    return Level::Baseline;
}

Level currentLevel() { return active().level; }

bool selectLevel(Level level) {
    if (!supported(level)) return false;
    active().level = level;
    active().kernels = &tableFor(level);
    return true;
}

const char* levelName(Level level) {
    switch (level) {
        case Level::Avx512: return "avx512";
        case Level::Avx2: return "avx2";
        case Level::Baseline: break;
    }
    return "baseline";
}

const Kernels& kernels() { return *active().kernels; }

}  // namespace orv::simd
