#pragma once

#include <map>
#include <string>

#include "platform/file_wave_api.hpp"
#include "sound/wave_api.hpp"

namespace orv {

// The sound cards with files standing in for some roles. Each open is routed by the
// format only its role uses: stereo capture is the receiver, mono capture the
// microphone, mono playback the speaker, stereo playback the transmitter. A role given
// a file opens that file whatever card its menu names; the others open the cards.
class RoleWaveApi final : public WaveApi {
public:
    struct Files {
        FileWaveApi* rx = nullptr;
        FileWaveApi* mic = nullptr;
        FileWaveApi* speaker = nullptr;
        FileWaveApi* tx = nullptr;
    };

    RoleWaveApi(WaveApi& cards, Files files) : cards_(cards), files_(files) {}

    // Moves every file device on to the clock's present.
    void pump();
    // The first failure of an output file, empty while all is well.
    Bilingual failure() const;

    int deviceCount(WaveDirection dir) override;
    int deviceName(WaveDirection dir, int index, std::string& name) override;
    int open(WaveDirection dir, Handle& handle, int device, const WaveFormat& format) override;
    int prepareHeader(WaveDirection dir, Handle handle, WaveHeader& header) override;
    int unprepareHeader(WaveDirection dir, Handle handle, WaveHeader& header) override;
    int addBuffer(Handle handle, WaveHeader& header) override;
    int write(Handle handle, WaveHeader& header) override;
    int start(Handle handle) override;
    int reset(WaveDirection dir, Handle handle) override;
    int close(WaveDirection dir, Handle handle) override;

private:
    struct Route {
        WaveApi* api;
        Handle inner;
    };
    FileWaveApi* fileFor(WaveDirection dir, int channels) const;
    const Route* route(Handle handle) const;

    WaveApi& cards_;
    Files files_;
    std::map<Handle, Route> routes_;
    Handle nextHandle_ = 1;
};

}  // namespace orv
