// Where the receive path spends its time: nanoseconds of processor time per input frame
// for each stage, per mode and rate, and the whole chain's real-time factor (seconds of
// signal per processor second) without and with the display.
//
//   build/default/bench/bench_stages [seconds] [baseline|avx2|avx512]
//
// The chain's own stages run on copies of the data the chain sees (the rotation, the
// demodulator, the anti-alias filter at Fee, the band filter at Fes); "rest" is what the
// whole chain costs beyond them (resampling, decimation, the output stage and the
// hand-overs). The display's stages are charged to the input frames of its blocks.
#include <time.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "display/display.hpp"
#include "dsp/rates.hpp"
#include "dsp/receive_chain.hpp"
#include "dsp/simd.hpp"

namespace {

using namespace orv;

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Adds the processor time of f() to `into`.
template <typename F>
void timed(double& into, F f) {
    const double start = cpuSeconds();
    f();
    into += cpuSeconds() - start;
}

struct Job {
    const char* name;
    Mode mode;
    int fee;
};

constexpr Job kJobs[] = {
    {"USB", Mode::Usb, 48000},          {"LSB", Mode::Lsb, 44100},           {"AM", Mode::Am, 48000},
    {"FM", Mode::Fm, 48000},            {"WFM", Mode::BroadcastFm96, 96000}, {"WFM", Mode::BroadcastFm192, 192000},
    {"USB", Mode::Usb, 192000},
};

// The display's own transform is private: the same work on one of our own.
IntegerFft transform_;

struct Row {
    double convert = 0, correct = 0, rotate = 0, demodulate = 0, antiAlias = 0, band = 0, chain = 0;
    double level = 0, transform = 0, spectrum = 0, colours = 0;
};

void configure(ReceiveChain& chain, MixOscillator& mix, const Job& job) {
    chain.setRates(job.fee, nominalOutputRate(job.fee, false), false);
    chain.setMode(job.mode);
    chain.setRxAgc(false);       // as the peer benchmark runs: --agc off,
    chain.setSpectrumAgc(true);  // the spectrum's gain control on (the standard settings)
    chain.setMixFrequencies(1500, 1500 - kIfFrequencyHz);
    mix.rate = job.fee;
    chain.initReceive();
    chain.resetResampler();
    chain.setupIfFilters();
    chain.designBandFilter(300, 3000, 1024);
}

Row measure(const Job& job, double seconds) {
    constexpr int kHalf = 1024;
    const int fes = nominalOutputRate(job.fee, false);
    MixOscillator mixA, mixB, mixC;
    ReceiveChain chain(mixA);   // the whole chain, timed as one
    ReceiveChain stages(mixB);  // its first stages, timed one by one
    configure(chain, mixA, job);
    configure(stages, mixB, job);
    mixC.rate = job.fee;
    mixC.frequencyHz = isSideband(job.mode) ? 1500 : 1500 - kIfFrequencyHz;
    Demodulators demodulators;
    demodulators.setupIfFilters(modeNumber(job.mode), job.fee);
    AntiAliasFilter antiAlias;
    antiAlias.design(job.fee);
    BandFilter band;
    band.design(300, 3000, fes, kHalf);
    Display display;
    display.initDisplay(job.fee, nullptr);
    display.initTransform(job.fee, 2 * kHalf);
    SampleFifo<std::int16_t> speaker;

    std::mt19937 random(5);
    std::normal_distribution<double> noise(0, 400);
    std::vector<std::int16_t> frames(2 * kHalf);
    std::vector<std::int32_t> i(kHalf), q(kHalf), out(kHalf), bandIn(kHalf), bandOut(kHalf);
    int bandFill = 0;
    Row row;
    long t = 0;
    const long total = static_cast<long>(seconds * job.fee) / (2 * kHalf) * (2 * kHalf);
    while (t < total) {
        for (int h = 0; h < 2; ++h) {
            for (std::size_t n = 0; n < kHalf; ++n, ++t) {
                const double s = static_cast<double>(t) / job.fee;
                const double amplitude = 9000 * (0.6 + 0.4 * std::sin(2 * M_PI * 0.3 * s));
                const double phase = 2 * M_PI * (1500 * s + 800 * std::sin(2 * M_PI * 3 * s) / (2 * M_PI * 3));
                frames[2 * n] = static_cast<std::int16_t>(std::lround(amplitude * std::cos(phase) + noise(random)));
                frames[2 * n + 1] = static_cast<std::int16_t>(std::lround(amplitude * std::sin(phase) + noise(random)));
            }
            timed(row.chain, [&] { chain.process(frames, 2, h * kHalf, speaker); });
            speaker.clear();
            timed(row.convert, [&] {
                stages.convertHalfBlock(frames, 2, 1, kHalf, h * kHalf);
                stages.convertHalfBlock(frames, 2, 2, kHalf, h * kHalf);
            });
            timed(row.correct, [&] { stages.correctIq(kHalf); });
            std::copy_n(stages.blockI(kHalf).begin(), kHalf, i.begin());
            std::copy_n(stages.blockQ(kHalf).begin(), kHalf, q.begin());
            if (!isBroadcastFm(job.mode)) timed(row.rotate, [&] { mixC.rotateBlock(i.data(), q.data(), kHalf); });
            timed(row.demodulate, [&] {
                if (job.mode == Mode::Am)
                    demodulators.demodulateAm(i.data(), q.data(), kHalf, job.fee / 100);
                else if (job.mode == Mode::Fm)
                    demodulators.demodulateFm(i.data(), q.data(), kHalf, job.fee);
                else if (isBroadcastFm(job.mode))
                    demodulators.discriminateBroadcastFm(i.data(), q.data(), kHalf);
            });
            if (job.mode == Mode::BroadcastFm192) {
                timed(row.antiAlias, [&] { demodulators.deEmphasize(i.data(), kHalf); });
            } else {
                timed(row.antiAlias, [&] { antiAlias.run(0, i.data(), kHalf); });
            }
            if (isSideband(job.mode)) timed(row.antiAlias, [&] { antiAlias.run(1, q.data(), kHalf); });
            // The band filter sees a block of Fes samples per Fee / Fes half blocks.
            bandFill += kHalf * fes / job.fee;
            if (bandFill >= kHalf) {
                bandFill -= kHalf;
                timed(row.band, [&] { band.process(i.data(), q.data(), Sideband::Upper, bandOut.data()); });
            }
        }
        const auto di = chain.displayI(2 * kHalf);
        const auto dq = chain.displayQ(2 * kHalf);
        timed(row.level, [&] { display.measureLevel(di, dq, chain.inputGain(), true); });
        if (!display.divideDisplayRate(job.fee, fes)) continue;
        IntegerFft& fft = transform_;
        timed(row.transform, [&] { fft.forward(di.data(), dq.data(), 2 * kHalf); });
        timed(row.spectrum, [&] {
            display.spectrum().magnitudes(fft.re(), fft.im(), true);
            display.spectrum().average();
        });
        timed(row.colours, [&] {
            display.mapSpectrum(job.fee);
            const auto colours = display.rowColours(true, false);
            (void)colours;
        });
    }
    const double perFrame = 1e9 / static_cast<double>(total);
    for (double* v : {&row.convert, &row.correct, &row.rotate, &row.demodulate, &row.antiAlias, &row.band, &row.chain,
                      &row.level, &row.transform, &row.spectrum, &row.colours})
        *v *= perFrame;
    return row;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    if (argc > 2) {
        bool chosen = false;
        for (const auto level : {simd::Level::Baseline, simd::Level::Avx2, simd::Level::Avx512})
            if (std::strcmp(argv[2], simd::levelName(level)) == 0) chosen = simd::selectLevel(level);
        if (!chosen) {
            std::fprintf(stderr, "this processor does not run the %s kernels\n", argv[2]);
            return 2;
        }
    }
    std::printf("kernels: %s; %.0f s of signal per job; ns of processor time per input frame\n\n",
                simd::levelName(simd::currentLevel()), seconds);
    std::printf("| job | convert | I/Q corr. | rotate | demod. | anti-alias | band | rest | chain | level | FFT | "
                "spectrum | colours | display | chain ×RT | with display ×RT |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    measure(kJobs[0], 1.0);  // tables and caches warm
    for (const Job& job : kJobs) {
        const Row r = measure(job, seconds);
        const double own = r.convert + r.correct + r.rotate + r.demodulate + r.antiAlias + r.band;
        const double display = r.level + r.transform + r.spectrum + r.colours;
        const double frameNs = 1e9 / job.fee;
        std::printf("| %s %d | %.1f | %.1f | %.1f | %.1f | %.1f | %.1f | %.1f | %.1f | %.1f | %.1f | %.1f | %.1f | %.1f | "
                    "%.0f | %.0f |\n",
                    job.name, job.fee, r.convert, r.correct, r.rotate, r.demodulate, r.antiAlias, r.band,
                    std::max(r.chain - own, 0.0), r.chain, r.level, r.transform, r.spectrum, r.colours, display,
                    frameNs / r.chain, frameNs / (r.chain + display));
    }
    return 0;
}
