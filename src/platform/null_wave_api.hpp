#pragma once

#include "sound/wave_api.hpp"

namespace orv {

// A sound system with no cards: batch runs, where only files serve the roles.
class NullWaveApi final : public WaveApi {
public:
    int deviceCount(WaveDirection) override { return 0; }
    int deviceName(WaveDirection, int, std::string&) override { return kBadDevice; }
    int open(WaveDirection, Handle&, int, const WaveFormat&) override { return kBadDevice; }
    int prepareHeader(WaveDirection, Handle, WaveHeader&) override { return kInvalidHandle; }
    int unprepareHeader(WaveDirection, Handle, WaveHeader&) override { return kInvalidHandle; }
    int addBuffer(Handle, WaveHeader&) override { return kInvalidHandle; }
    int write(Handle, WaveHeader&) override { return kInvalidHandle; }
    int start(Handle) override { return kInvalidHandle; }
    int reset(WaveDirection, Handle) override { return kInvalidHandle; }
    int close(WaveDirection, Handle) override { return kInvalidHandle; }

private:
    static constexpr int kInvalidHandle = 5;
    static constexpr int kBadDevice = 2;
};

}  // namespace orv
