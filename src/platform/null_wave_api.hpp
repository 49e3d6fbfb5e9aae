#pragma once

#include "sound/wave_api.hpp"

namespace orv {

// A sound system with no cards, or with one silent capture device that never delivers
// and one playback device that takes every buffer at once and plays it nowhere.
class NullWaveApi final : public WaveApi {
public:
    explicit NullWaveApi(bool withDevices) : withDevices_(withDevices) {}

    int deviceCount(WaveDirection) override { return withDevices_ ? 1 : 0; }
    int deviceName(WaveDirection dir, int, std::string& name) override {
        name = dir == WaveDirection::Capture ? "No recording" : "Discard";
        return kWaveOk;
    }
    int open(WaveDirection, Handle& handle, int device, const WaveFormat&) override {
        if (!withDevices_ || device != 0) return kBadDevice;
        handle = 1;
        return kWaveOk;
    }
    int prepareHeader(WaveDirection, Handle h, WaveHeader& header) override {
        if (h != 1) return kInvalidHandle;
        header.flags |= kWaveHeaderPrepared;
        return kWaveOk;
    }
    int unprepareHeader(WaveDirection, Handle h, WaveHeader& header) override {
        if (h != 1) return kInvalidHandle;
        header.flags &= ~kWaveHeaderPrepared;
        return kWaveOk;
    }
    int addBuffer(Handle h, WaveHeader& header) override {
        if (h != 1) return kInvalidHandle;
        header.bytesRecorded = 0;
        return kWaveOk;
    }
    int write(Handle h, WaveHeader& header) override {
        if (h != 1) return kInvalidHandle;
        header.flags |= kWaveHeaderDone;
        return kWaveOk;
    }
    int start(Handle h) override { return h == 1 ? kWaveOk : kInvalidHandle; }
    int reset(WaveDirection, Handle h) override { return h == 1 ? kWaveOk : kInvalidHandle; }
    int close(WaveDirection, Handle h) override { return h == 1 ? kWaveOk : kInvalidHandle; }

private:
    static constexpr int kInvalidHandle = 5;
    static constexpr int kBadDevice = 2;
    bool withDevices_;
};

}  // namespace orv
