// Program entry: parses the command line, builds the ports and the station, runs it.
#include <atomic>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QTimer>

#include "app/options.hpp"
#include "core/station.hpp"
#include "platform/console_view.hpp"
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
    // No sound-card driver is built in yet: batch runs get a silent device pair.
    orv::NullWaveApi wave(options.batch);

    orv::Station station({wave, clock, view, files, mixer});
    if (!station.startUp()) return 1;
    station.initReceive();
    if (options.batch) {
        std::cerr << "Nothing to play: batch mode replays a recording, and none was given.\n";
        station.formClose();
        return 0;
    }
    return runRealTime(station, argc, argv);
}
