// How fast the main cycle moves capture buffers through to playback with the
// processing it has today: the ceiling for every later receive figure.
#include <benchmark/benchmark.h>

#include <string>

#include "support/station_fixture.hpp"

namespace {

void BM_ReceiveCycle(benchmark::State& state) {
    orv::test::StationFixture f;
    f.station->startUp();
    f.station->soundMenus().rateItemClick("Fe_" + std::to_string(state.range(0)));
    f.station->initReceive();
    f.tick();
    std::int64_t frames = 0;
    for (auto _ : state) {
        f.wave.completeCapture(0x10);
        f.wave.finishPlayback();
        f.tick();
        frames += f.sizes().captureBufferBytes / 4;
    }
    // Seconds of capture moved per second of processor time.
    state.counters["realtime_x"] = benchmark::Counter(static_cast<double>(frames) / static_cast<double>(state.range(0)),
                                                      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReceiveCycle)->Arg(48000)->Arg(192000);

}  // namespace

BENCHMARK_MAIN();
