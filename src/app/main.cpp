// Program entry: parses the command line, builds the ports and the station, runs it.
#include <atomic>
#include <csignal>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QTimer>

#include "app/options.hpp"
#include "core/station.hpp"
#include "platform/console_view.hpp"
#include "platform/file_wave_api.hpp"
#include "platform/null_wave_api.hpp"
#include "platform/posix_files.hpp"
#include "platform/real_clock.hpp"
#include "platform/system_mixer.hpp"

namespace {

std::atomic<bool> stopRequested{false};

void requestStop(int) { stopRequested = true; }

// Real time: Timer1 every 10 ms on the event loop until SIGINT or SIGTERM.
int runRealTime(orv::Station& station, int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    QTimer timer1;
    timer1.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer1, &QTimer::timeout, [&] {
        if (stopRequested) {
            app.quit();
            return;
        }
        station.timer1();
    });
    timer1.start(10);
    app.exec();
    station.formClose();
    return 0;
}

// Batch: Timer1 on the virtual clock until the recording has been processed and its
// audio played out, never longer than the recording plus a minute.
int runBatch(orv::Station& station, orv::FileWaveApi& wave, orv::VirtualClock& clock,
             const orv::Recording& recording, const std::string& speakerFile) {
    const std::int64_t limitMs = recording.frames * 1000 / recording.rate + 60000;
    const auto& s = station.state();
    while (clock.nowMs() < limitMs) {
        clock.advance(10);
        wave.pump();
        station.timer1();
        if (!wave.failure().empty()) {
            std::cerr << "orvandel: " << wave.failure() << "\n";
            station.formClose();
            return 1;
        }
        const bool playedOut = wave.playbackIdle() && s.speaker.samples() < static_cast<std::size_t>(s.outBufferBytes / 2);
        if (wave.recordingEnded() && playedOut) break;
    }
    station.formClose();
    if (!speakerFile.empty())
        std::cerr << "Speaker audio: " << wave.framesWritten() << " samples at " << s.fes << " samples/s written to "
                  << speakerFile << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto parsed = orv::parseOptions(args);
    if (!parsed.error.empty()) {
        std::cerr << "orvandel: " << parsed.error << "\nTry 'orvandel --help'.\n";
        return 2;
    }
    const orv::Options& options = parsed.options;
    if (options.help) {
        std::cout << orv::usageText();
        return 0;
    }
    if (options.version) {
        std::cout << "orvandel " << ORVANDEL_VERSION << "\n";
        return 0;
    }
    if (!options.headless) std::cerr << "orvandel: this build has no window yet; running headless.\n";

    std::string error;
    const std::string dir = orv::PosixFiles::prepareDirectory(options.dir, error);
    if (dir.empty()) {
        std::cerr << "orvandel: cannot use the settings folder '" << options.dir << "': " << error << "\n";
        return 1;
    }
    orv::PosixFiles files(dir);
    orv::ConsoleView view(std::cerr);
    orv::SystemMixer mixer;
    orv::RealClock realClock;
    orv::VirtualClock virtualClock;
    orv::Clock& clock = options.batch ? static_cast<orv::Clock&>(virtualClock) : realClock;
    std::optional<orv::Recording> recording;
    if (!options.rxFile.empty()) {
        recording = orv::Recording::inspect(options.rxFile, error);
        if (!error.empty()) {
            std::cerr << "orvandel: " << error << "\n";
            return 2;
        }
    }
    // No sound-card driver is built in yet: real time has no devices, batch runs on files.
    orv::NullWaveApi noCards(false);
    orv::FileWaveApi fileDevices(clock, recording, options.speakerFile);
    orv::WaveApi& wave = options.batch ? static_cast<orv::WaveApi&>(fileDevices) : noCards;

    orv::Station station({wave, clock, view, files, mixer});
    if (options.batch && !recording) {
        std::cerr << "Nothing to play: batch mode replays a recording (--rx-file), and none was given.\n";
        return 0;
    }
    if (!station.startUp()) return 1;
    if (recording) {
        // The recording stands in for the receive card: its rate is the capture rate.
        station.config()[orv::config::kCaptureRate] = orv::captureRateCode(recording->rate);
        station.applySampleRate();
    }
    station.initReceive();
    if (options.batch) return runBatch(station, fileDevices, virtualClock, *recording, options.speakerFile);
    return runRealTime(station, argc, argv);
}
