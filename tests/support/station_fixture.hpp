#pragma once

#include <memory>
#include <string>

#include "core/station.hpp"
#include "support/fakes.hpp"
#include "support/memory_files.hpp"
#include "support/scripted_wave_api.hpp"

namespace orv::test {

// A station on the scripted sound system, a virtual clock and recording doubles.
struct StationFixture {
    ScriptedWaveApi wave;
    VirtualClock clock;
    RecordingView view;
    MemoryFiles files;
    FakeMixer mixer;
    std::unique_ptr<Station> station = std::make_unique<Station>(StationPorts{wave, clock, view, files, mixer});

    ProcessingState& s() { return station->state(); }

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
