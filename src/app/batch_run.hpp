#pragma once

#include <string>

#include "station/station.hpp"
#include "platform/file_wave_api.hpp"
#include "platform/role_wave_api.hpp"

namespace orv {

// A replayed recording has ended and its audio has been played: the speaker file (if
// any) has nothing left to play and the queue holds less than one buffer.
bool recordingPlayedOut(const Station& station, const FileWaveApi& rx, const FileWaveApi* speaker);

struct BatchResult {
    std::int64_t ticks = 0;
    std::string failure;  // empty when the run ended with the recording
};

// Runs Timer1 on the virtual clock until the recording has been processed and played
// out (never longer than the recording plus a minute), then closes the station.
BatchResult runBatch(Station& station, RoleWaveApi& wave, VirtualClock& clock, const FileWaveApi& rx,
                     const FileWaveApi& speaker, const Recording& recording);

}  // namespace orv
