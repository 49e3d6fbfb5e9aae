// Seconds of capture the batch path moves per second of processor time: a recording
// replayed through the file devices, the main cycle, the receive chain (USB, 3300 Hz,
// AGC on, or the mode given) and playback; and the cost of one block of the band and anti-alias filters.
#include <benchmark/benchmark.h>

#include <sndfile.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "app/batch_run.hpp"
#include "support/fakes.hpp"
#include "support/memory_files.hpp"
#include "platform/null_wave_api.hpp"

namespace {

const std::atomic<bool> kNeverStop{false};

namespace fs = std::filesystem;

std::string makeRecording(int rate, int seconds) {
    const fs::path path = fs::temp_directory_path() / ("orvandel-bench-" + std::to_string(::getpid()) + "-" +
                                                       std::to_string(rate) + ".wav");
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* out = sf_open(path.c_str(), SFM_WRITE, &info);
    std::vector<short> second(static_cast<std::size_t>(rate) * 2);
    for (std::size_t i = 0; i < second.size(); ++i) second[i] = static_cast<short>((i * 7919) % 20000 - 10000);
    for (int s = 0; s < seconds; ++s) sf_writef_short(out, second.data(), rate);
    sf_close(out);
    return path.string();
}

void BM_BatchCapture(benchmark::State& state) {
    const int rate = static_cast<int>(state.range(0));
    constexpr int kSeconds = 20;
    const std::string path = makeRecording(rate, kSeconds);
    orv::Bilingual error;
    const orv::Recording recording = orv::Recording::openReceiver(path, error);
    for (auto _ : state) {
        orv::VirtualClock clock;
        orv::NullWaveApi cards;
        orv::FileWaveApi rx(clock, recording, "");
        orv::FileWaveApi speaker(clock, std::nullopt, "");
        orv::RoleWaveApi wave(cards, {&rx, nullptr, &speaker, nullptr});
        orv::test::RecordingView view;
        orv::test::MemoryFiles files;
        orv::test::FakeMixer mixer;
        orv::test::FakeLinkSocket link;
        orv::NoProcessorLoad load;
        orv::Station station({wave, clock, view, files, mixer, link, load});
        station.startUp();
        station.soundMenus().rateItemClick("Fe_" + std::to_string(rate));
        station.receiver().modeClick(orv::modeFromNumber(static_cast<int>(state.range(1))));
        station.initReceive();
        orv::runBatch(station, wave, clock, rx, speaker, recording, kNeverStop);
    }
    fs::remove(path);
    state.counters["realtime_x"] =
        benchmark::Counter(static_cast<double>(kSeconds) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
// Arguments: capture rate, mode (1 USB, 3 AM, 4 FM, 5 and 6 broadcast FM).
BENCHMARK(BM_BatchCapture)
    ->ArgNames({"rate", "mode"})
    ->Args({44100, 1})
    ->Args({48000, 1})
    ->Args({96000, 1})
    ->Args({192000, 1})
    ->Args({48000, 3})
    ->Args({48000, 4})
    ->Args({96000, 5})
    ->Args({192000, 6})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The ceiling: the file devices alone replaying 192000 stereo capture buffer after
// buffer, with no processing at all.
void BM_FileCaptureOnly(benchmark::State& state) {
    constexpr int kRate = 192000;
    constexpr int kSeconds = 20;
    const std::string path = makeRecording(kRate, kSeconds);
    orv::Bilingual error;
    const orv::Recording recording = orv::Recording::openReceiver(path, error);
    for (auto _ : state) {
        orv::VirtualClock clock;
        orv::FileWaveApi rx(clock, recording, "");
        orv::WaveApi::Handle h = -1;
        rx.open(orv::WaveDirection::Capture, h, 0, orv::WaveFormat{2, kRate, 16});
        orv::WaveHeader buffers[2]{orv::WaveHeader(38400), orv::WaveHeader(38400)};
        for (auto& b : buffers) rx.addBuffer(h, b);
        rx.start(h);
        while (!rx.recordingEnded()) {
            clock.advance(10);
            rx.pump();
            for (auto& b : buffers)
                if (b.bytesRecorded.load() == b.data.size()) rx.addBuffer(h, b);
        }
        rx.close(orv::WaveDirection::Capture, h);
    }
    fs::remove(path);
    state.counters["realtime_x"] =
        benchmark::Counter(static_cast<double>(kSeconds) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FileCaptureOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BandFilterBlock(benchmark::State& state) {
    orv::BandFilter filter;
    filter.design(0, 3300, 12000, 1024);
    std::vector<std::int32_t> i(1024);
    std::vector<std::int32_t> q(1024);
    std::vector<std::int32_t> out(1024);
    for (std::size_t k = 0; k < 1024; ++k) {
        i[k] = static_cast<std::int32_t>((k * 7919) % 20000) - 10000;
        q[k] = static_cast<std::int32_t>((k * 104729) % 20000) - 10000;
    }
    for (auto _ : state) {
        filter.process(i.data(), q.data(), orv::Sideband::Upper, out.data());
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_BandFilterBlock)->Unit(benchmark::kMicrosecond);

void BM_AntiAliasHalfBlock(benchmark::State& state) {
    orv::AntiAliasFilter filter;
    filter.design(static_cast<int>(state.range(0)));
    std::vector<std::int32_t> x(1024);
    for (std::size_t k = 0; k < x.size(); ++k) x[k] = static_cast<std::int32_t>((k * 7919) % 20000) - 10000;
    for (auto _ : state) {
        filter.run(0, x.data(), 1024);
        benchmark::DoNotOptimize(x.data());
    }
}
BENCHMARK(BM_AntiAliasHalfBlock)->Arg(48000)->Arg(192000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
