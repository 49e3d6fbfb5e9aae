// Program entry: parses the command line, builds the ports and the station, runs it.
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>

#include "app/batch_run.hpp"
#include "app/options.hpp"
#include "station/station.hpp"
#include "platform/console_view.hpp"
#include "platform/file_wave_api.hpp"
#include "platform/null_wave_api.hpp"
#include "platform/portaudio_wave_api.hpp"
#include "platform/posix_files.hpp"
#include "platform/qt_waterfall.hpp"
#include "platform/real_clock.hpp"
#include "platform/role_wave_api.hpp"
#include "platform/system_mixer.hpp"

namespace {

std::atomic<bool> stopRequested{false};

void requestStop(int) { stopRequested = true; }

// The recordings named on the command line, checked before anything runs.
struct Recordings {
    std::optional<orv::Recording> rx;
    std::optional<orv::Recording> mic;
};

// The modes that need a rate check it against the recording.
std::string modeRateError(const std::string& mode, int rate) {
    if ((mode == "am" || mode == "fm") && rate != 44100 && rate != 48000)
        return mode + " needs a recording at 44100 or 48000 samples/s, and this one is at " + std::to_string(rate);
    if (mode == "wfm" && rate != 96000 && rate != 192000)
        return "wfm needs a recording at 96000 or 192000 samples/s, and this one is at " + std::to_string(rate);
    return {};
}

bool inspectRecordings(const orv::Options& options, Recordings& out) {
    std::string error;
    if (!options.rxFile.empty()) out.rx = orv::Recording::inspectReceiver(options.rxFile, error);
    if (error.empty() && out.rx) error = modeRateError(options.mode, out.rx->rate);
    if (error.empty() && !options.micFile.empty()) out.mic = orv::Recording::inspectMicrophone(options.micFile, error);
    if (error.empty()) return true;
    std::cerr << "orvandel: " << error << "\n";
    return false;
}

// Real time: Timer1 every 10 ms on the event loop until SIGINT or SIGTERM, or until a
// replayed recording (not looping) has been played out.
int runRealTime(QCoreApplication& app, orv::Station& station, orv::RoleWaveApi& wave, const orv::FileWaveApi* rx,
                const orv::FileWaveApi* speaker) {
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    int status = 0;
    QTimer timer1;
    timer1.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer1, &QTimer::timeout, [&] {
        wave.pump();
        station.timer1();
        if (const auto failure = wave.failure(); !failure.empty()) {
            std::cerr << "orvandel: " << failure << "\n";
            status = 1;
            app.quit();
        }
        if (stopRequested || (rx && orv::recordingPlayedOut(station, *rx, speaker))) app.quit();
    });
    timer1.start(10);
    app.exec();
    station.formClose();
    return status;
}

// The locale the user's messages follow, as the C library looks for it.
std::string userLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = std::getenv(name); value && *value) return value;
    return {};
}

// The mode button a --mode value names: broadcast FM by the capture rate.
orv::Mode modeFor(const std::string& mode, int fee) {
    if (mode == "lsb") return orv::Mode::Lsb;
    if (mode == "am") return orv::Mode::Am;
    if (mode == "fm") return orv::Mode::Fm;
    if (mode == "wfm") return fee == 192000 ? orv::Mode::BroadcastFm192 : orv::Mode::BroadcastFm96;
    return orv::Mode::Usb;
}

// The receive options act as their buttons would.
void applyReceiveOptions(orv::Station& station, const orv::Options& options) {
    orv::ReceiverControls& receiver = station.receiver();
    if (!options.mode.empty()) receiver.modeClick(modeFor(options.mode, station.engine().sizes().fee));
    if (options.nr == "weak") receiver.noiseReducerClick("REDUCTEUR_WIENER_FAIBLE", true);
    if (options.nr == "strong") receiver.noiseReducerClick("REDUCTEUR_WIENER_FORT", true);
    if (options.nr == "off") {
        receiver.noiseReducerClick("REDUCTEUR_WIENER_FAIBLE", false);
        receiver.noiseReducerClick("REDUCTEUR_WIENER_FORT", false);
    }
    if (!options.bandwidth.empty()) receiver.bandClick(orv::bandButtonFor(options.bandwidth));
    if (!options.agc.empty()) receiver.rxAgcClick(options.agc == "on");
    if (options.offsetHz) receiver.setTuneOffset(*options.offsetHz);
    if (!options.centre.empty()) station.settings().centreFrequencyChange(options.centre);
}

// The sound system of a run: the cards (none in batch, whose virtual clock no card
// follows) with files standing in for the roles given one. In batch the speaker and TX
// outputs go nowhere when no file is named.
class SoundDevices {
public:
    SoundDevices(const orv::Options& options, const Recordings& recordings, orv::Clock& clock)
        : cards_(options.batch ? std::unique_ptr<orv::WaveApi>(std::make_unique<orv::NullWaveApi>())
                               : std::make_unique<orv::PortAudioWaveApi>()),
          rx_(clock, recordings.rx, "", options.rxLoop),
          mic_(clock, recordings.mic, ""),
          speaker_(clock, std::nullopt, options.speakerFile),
          tx_(clock, std::nullopt, options.txFile),
          wave_(*cards_, {recordings.rx ? &rx_ : nullptr, recordings.mic ? &mic_ : nullptr,
                          options.batch || !options.speakerFile.empty() ? &speaker_ : nullptr,
                          options.batch || !options.txFile.empty() ? &tx_ : nullptr}) {}

    orv::RoleWaveApi& wave() { return wave_; }
    const orv::FileWaveApi& rx() const { return rx_; }
    const orv::FileWaveApi& speaker() const { return speaker_; }

private:
    std::unique_ptr<orv::WaveApi> cards_;
    orv::FileWaveApi rx_;
    orv::FileWaveApi mic_;
    orv::FileWaveApi speaker_;
    orv::FileWaveApi tx_;
    orv::RoleWaveApi wave_;
};

// Start-up, then the recording's rate and the receive options, then receive
// initialisation. False when the station cannot run.
bool startStation(orv::Station& station, const orv::Options& options, const Recordings& recordings) {
    station.settings().setSystemLanguage(orv::languageForLocale(userLocale()));
    if (!station.startUp()) return false;
    // The recording stands in for the receive card: its rate is chosen in the rate menu.
    if (recordings.rx) station.soundMenus().rateItemClick("Fe_" + std::to_string(recordings.rx->rate));
    applyReceiveOptions(station, options);
    station.initReceive();
    return true;
}

int runBatch(orv::Station& station, SoundDevices& devices, orv::VirtualClock& clock, const orv::Options& options,
             const orv::Recording& recording) {
    const auto result = orv::runBatch(station, devices.wave(), clock, devices.rx(), devices.speaker(), recording);
    if (!result.failure.empty()) {
        std::cerr << "orvandel: " << result.failure << "\n";
        return 1;
    }
    if (!options.speakerFile.empty())
        std::cerr << "Speaker audio: " << devices.speaker().framesWritten() << " samples at " << station.engine().sizes().fes()
                  << " samples/s written to " << options.speakerFile << "\n";
    return 0;
}

// Drawing the waterfall needs fonts, hence a GUI application; without a display it
// draws off screen.
std::unique_ptr<QCoreApplication> makeApplication(const orv::Options& options, int& argc, char** argv) {
    if (options.waterfall.empty()) return std::make_unique<QCoreApplication>(argc, argv);
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
    const auto parsed = orv::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
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
    Recordings recordings;
    if (!inspectRecordings(options, recordings)) return 2;
    const auto app = makeApplication(options, argc, argv);

    std::string error;
    const std::string dir = orv::PosixFiles::prepareDirectory(options.dir, error);
    if (dir.empty()) {
        std::cerr << "orvandel: cannot use the settings folder '" << options.dir << "': " << error << "\n";
        return 1;
    }
    if (options.batch && !recordings.rx) {
        std::cerr << "Nothing to play: batch mode replays a recording (--rx-file), and none was given.\n";
        return 0;
    }
    orv::PosixFiles files(dir);
    orv::ConsoleView view(std::cerr);
    orv::SystemMixer mixer;
    orv::RealClock realClock;
    orv::VirtualClock virtualClock;
    orv::Clock& clock = options.batch ? static_cast<orv::Clock&>(virtualClock) : realClock;
    SoundDevices devices(options, recordings, clock);
    orv::QtWaterfall waterfall;
    orv::Station station({devices.wave(), clock, view, files, mixer});
    if (!options.waterfall.empty()) station.setWaterfallCanvas(&waterfall);
    if (!startStation(station, options, recordings)) return 1;

    int status = 0;
    if (options.batch) {
        status = runBatch(station, devices, virtualClock, options, *recordings.rx);
    } else {
        const bool endsWithRecording = recordings.rx && !options.rxLoop;
        status = runRealTime(*app, station, devices.wave(), endsWithRecording ? &devices.rx() : nullptr,
                             options.speakerFile.empty() ? nullptr : &devices.speaker());
    }
    if (status == 0 && !options.waterfall.empty()) {
        if (!waterfall.savePng(options.waterfall)) {
            std::cerr << "orvandel: cannot write the waterfall '" << options.waterfall << "'\n";
            return 1;
        }
        std::cerr << "Waterfall: " << station.display().rowsShown() << " rows written to " << options.waterfall << "\n";
    }
    return status;
}
