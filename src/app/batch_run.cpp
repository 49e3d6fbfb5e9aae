#include "app/batch_run.hpp"

#include <algorithm>
#include <limits>

namespace orv {

bool recordingPlayedOut(const Station& station, const FileWaveApi& rx, const FileWaveApi* speaker) {
    const WaveEngine& engine = station.engine();
    const bool speakerIdle = !speaker || speaker->playbackIdle();
    return rx.recordingEnded() && speakerIdle &&
           engine.speakerQueue().size() < static_cast<std::size_t>(engine.sizes().outBufferBytes / 2);
}

BatchResult runBatch(Station& station, RoleWaveApi& wave, VirtualClock& clock, const FileWaveApi& rx,
                     const FileWaveApi& speaker, const Recording& recording, const std::atomic<bool>& stop) {
    BatchResult result;
    // A recording read from a pipe may not say how long it is: then only its end stops it.
    constexpr std::int64_t kUnknown = std::numeric_limits<std::int64_t>::max() / 1000;
    const std::int64_t limitMs = recording.frames >= kUnknown
                                     ? std::numeric_limits<std::int64_t>::max()
                                     : clock.nowMs() + recording.frames * 1000 / recording.rate + 60000;
    while (clock.nowMs() < limitMs && !stop) {
        clock.advance(10);
        wave.pump();
        // The silence that drains the processing is not part of the band's picture.
        if (rx.draining()) station.setWaterfallCanvas(nullptr);
        station.timer1();
        ++result.ticks;
        // The slower timers on the same virtual clock.
        if (result.ticks % 20 == 0) station.timer4();
        if (result.ticks % 110 == 0) station.timer2();
        if (result.ticks % 300 == 0) station.timer3();
        result.failure = wave.failure();
        if (!result.failure.english.empty() || recordingPlayedOut(station, rx, &speaker)) break;
    }
    station.formClose();
    return result;
}

}  // namespace orv
