#pragma once

#include "sound/wave_api.hpp"

namespace orv {

// A sound system with no cards: batch runs, where only files serve the roles. A batch
// transmission without a recording still needs a receive card to start and to return
// to: with `silentCards` there is one card each way, which opens and takes buffers but
// never completes one.
class NullWaveApi final : public WaveApi {
public:
    explicit NullWaveApi(bool silentCards = false) : silent_(silentCards) {}
    int deviceCount(WaveDirection) override { return silent_ ? 1 : 0; }
    int deviceName(WaveDirection, int index, std::string& name) override {
        if (!silent_ || index != 0) return kWaveBadDevice;
        name = "None";
        return kWaveOk;
    }
    int open(WaveDirection, Handle& handle, int device, const WaveFormat&) override {
        if (!silent_ || device > 0) return kWaveBadDevice;
        handle = 1;
        return kWaveOk;
    }
    int prepareHeader(WaveDirection, Handle, WaveHeader&) override { return result(); }
    int unprepareHeader(WaveDirection, Handle, WaveHeader&) override { return result(); }
    int addBuffer(Handle, WaveHeader&) override { return result(); }
    int write(Handle, WaveHeader&) override { return result(); }
    int start(Handle) override { return result(); }
    int reset(WaveDirection, Handle) override { return result(); }
    int close(WaveDirection, Handle) override { return result(); }

private:
    int result() const { return silent_ ? kWaveOk : kWaveInvalidHandle; }
    bool silent_;
};

}  // namespace orv
