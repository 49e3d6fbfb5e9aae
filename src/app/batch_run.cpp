#include "app/batch_run.hpp"

namespace orv {

bool recordingPlayedOut(const Station& station, const FileWaveApi& rx, const FileWaveApi* speaker) {
    const WaveEngine& engine = station.engine();
    const bool speakerIdle = !speaker || speaker->playbackIdle();
    return rx.recordingEnded() && speakerIdle &&
           engine.speakerQueue().size() < static_cast<std::size_t>(engine.sizes().outBufferBytes / 2);
}

BatchResult runBatch(Station& station, RoleWaveApi& wave, VirtualClock& clock, const FileWaveApi& rx,
                     const FileWaveApi& speaker, const Recording& recording) {
    BatchResult result;
    const std::int64_t limitMs = clock.nowMs() + recording.frames * 1000 / recording.rate + 60000;
    while (clock.nowMs() < limitMs) {
        clock.advance(10);
        wave.pump();
        station.timer1();
        ++result.ticks;
        result.failure = wave.failure();
        if (!result.failure.empty() || recordingPlayedOut(station, rx, &speaker)) break;
    }
    station.formClose();
    return result;
}

}  // namespace orv
