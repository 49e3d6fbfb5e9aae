#pragma once

#include "sound/wave_api.hpp"

namespace orv {

// A sound system with no cards: batch runs, where only files serve the roles.
class NullWaveApi final : public WaveApi {
public:
    int deviceCount(WaveDirection) override { return 0; }
    int deviceName(WaveDirection, int, std::string&) override { return kWaveBadDevice; }
    int open(WaveDirection, Handle&, int, const WaveFormat&) override { return kWaveBadDevice; }
    int prepareHeader(WaveDirection, Handle, WaveHeader&) override { return kWaveInvalidHandle; }
    int unprepareHeader(WaveDirection, Handle, WaveHeader&) override { return kWaveInvalidHandle; }
    int addBuffer(Handle, WaveHeader&) override { return kWaveInvalidHandle; }
    int write(Handle, WaveHeader&) override { return kWaveInvalidHandle; }
    int start(Handle) override { return kWaveInvalidHandle; }
    int reset(WaveDirection, Handle) override { return kWaveInvalidHandle; }
    int close(WaveDirection, Handle) override { return kWaveInvalidHandle; }
};

}  // namespace orv
