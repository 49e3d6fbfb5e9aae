#pragma once

#include <atomic>
#include <string>

#include "platform/file_wave_api.hpp"
#include "platform/role_wave_api.hpp"
#include "station/station.hpp"

namespace orv {

// A replayed recording has ended and its audio has been played: the speaker file (if
// any) has nothing left to play and the queue holds less than one buffer.
bool recordingPlayedOut(const Station& station, const FileWaveApi& rx, const FileWaveApi* speaker);

struct BatchResult {
    std::int64_t ticks = 0;
    Bilingual failure;  // empty when the run ended with the recording or was stopped
};

// Runs Timer1 on the virtual clock until the recording has been processed and played
// out, or `stop` is set (never longer than the recording plus a minute), then closes
// the station.
BatchResult runBatch(Station& station, RoleWaveApi& wave, VirtualClock& clock, const FileWaveApi& rx,
                     const FileWaveApi& speaker, const Recording& recording, const std::atomic<bool>& stop);

}  // namespace orv
