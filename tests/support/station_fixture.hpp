#pragma once

#include <memory>
#include <string>

#include "station/station.hpp"
#include "support/fakes.hpp"
#include "support/memory_files.hpp"
#include "support/scripted_wave_api.hpp"

namespace orv::test {

// Settings as most station tests want them: 44100 samples/s at latency 2 (buffers of
// 1102 and 8816 bytes), 3300 Hz, otherwise the standard record.
inline MemoryFiles filesWithTestSettings(std::uint8_t latency = 2) {
    MemoryFiles files;
    ConfigRecord record = kStandardConfig;
    record[config::kCaptureRate] = 44;
    record[config::kLatency] = latency;
    record[config::kBandwidth] = 33;
    files.contents[files.pathOf(kConfigFileName)] = std::string(record.begin(), record.end());
    return files;
}

// A station on the scripted sound system, a virtual clock and recording doubles.
struct StationFixture {
    ScriptedWaveApi wave;
    VirtualClock clock;
    RecordingView view;
    MemoryFiles files = filesWithTestSettings();
    FakeMixer mixer;
    FakeLinkSocket link;
    FakeLoad load;
    FakeSerialLine serial;
    std::unique_ptr<Station> station =
        std::make_unique<Station>(StationPorts{wave, clock, view, files, mixer, link, load, &serial});

    const WaveEngine& engine() const { return station->engine(); }
    const BufferSizes& sizes() const { return station->engine().sizes(); }
    const ReceiveConfig& rx() const { return station->receiveChain().config(); }
    const Tuning& tuning() const { return station->tuning(); }
    const CycleFlags& flags() const { return station->flags(); }
    ControlsModel& controls() { return station->controls(); }

    // Stores a settings byte for the next start-up to read.
    void storeSetting(std::size_t byte, std::uint8_t value) {
        files.contents[files.pathOf(kConfigFileName)][byte] = static_cast<char>(value);
    }

    // Stores `language` in the settings the next start-up reads.
    void useLanguage(std::uint8_t language) {
        auto& stored = files.contents[files.pathOf(kConfigFileName)];
        stored[config::kLanguage] = static_cast<char>(language);
    }

    // Start-up, receive initialisation and the first tick, which opens the devices.
    void startReceiving() {
        station->startUp();
        station->initReceive();
        tick();
    }
    void tick() {
        clock.advance(10);
        station->timer1();
    }
};

}  // namespace orv::test
