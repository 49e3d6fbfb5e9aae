// Program entry: parses the command line, checks the files, builds the ports and the
// station, runs it, and completes the outputs.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/batch_run.hpp"
#include "app/options.hpp"
#include "app/real_time.hpp"
#include "app/tick_times.hpp"
#include "app/transmit_run.hpp"
#include "display/waterfall_image.hpp"
#include "platform/console_view.hpp"
#include "platform/file_wave_api.hpp"
#include "platform/null_wave_api.hpp"
#include "platform/output_file.hpp"
#include "platform/posix_files.hpp"
#include "platform/proc_stat_load.hpp"
#include "platform/png_file.hpp"
#include "platform/real_clock.hpp"
#include "platform/role_wave_api.hpp"
#include "sound/mixer.hpp"
#include "station/station.hpp"
#include "transmit/transmit_buffers.hpp"
#include "ui/link_socket.hpp"

namespace {

using orv::Bilingual;

std::atomic<bool> stopRequested{false};

void requestStop(int) { stopRequested = true; }

// What the program itself says on standard error, in the user's language: the locale's
// until the station has read its settings, the station's afterwards.
class Say {
public:
    explicit Say(std::uint8_t language) : language_(language) {}
    void follow(const orv::Station& station) { station_ = &station; }
    std::uint8_t language() const { return station_ ? station_->language() : language_; }
    std::string text(const Bilingual& b) const { return orv::langText(language(), b.english, b.french); }
    void line(const Bilingual& b) const { std::cerr << text(b) << "\n"; }
    void error(const Bilingual& b) const { std::cerr << "orvandel: " << text(b) << "\n"; }

private:
    std::uint8_t language_;
    const orv::Station* station_ = nullptr;
};

// The locale the user's messages follow, as the C library looks for it.
std::string userLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = std::getenv(name); value && *value) return value;
    return {};
}

// The modes that need a rate check it against the recording.
Bilingual modeRateError(const std::string& mode, int rate) {
    const std::string r = std::to_string(rate);
    if ((mode == "am" || mode == "fm") && rate != 44100 && rate != 48000)
        return {mode + " needs a recording at 44100 or 48000 samples/s, and this one is at " + r,
                mode + " demande un enregistrement à 44100 ou 48000 échantillons/s, et celui-ci est à " + r};
    if (mode == "wfm" && rate != 96000 && rate != 192000)
        return {"wfm needs a recording at 96000 or 192000 samples/s, and this one is at " + r,
                "wfm demande un enregistrement à 96000 ou 192000 échantillons/s, et celui-ci est à " + r};
    return {};
}

// The receive recording, opened once and checked against the options.
Bilingual openRecording(const orv::Options& options, std::optional<orv::Recording>& rx) {
    if (options.rxFile.empty()) return {};
    Bilingual error;
    rx = orv::Recording::openReceiver(options.rxFile, error);
    if (!error.english.empty()) return error;
    if (options.rxLoop && !rx->seekable)
        return {"--rx-loop goes back to the start of the recording, and '" + options.rxFile + "' cannot go back",
                "--rx-loop revient au début de l'enregistrement, et '" + options.rxFile + "' ne le permet pas"};
    return modeRateError(options.mode, rx->rate);
}

// The run's outputs: never an input, a settings file or each other, and made beside
// their paths before anything runs.
struct Outputs {
    orv::OutputFile speaker;
    orv::OutputFile tx;
    orv::OutputFile waterfall;
};

// The microphone recording, opened once.
Bilingual openMicrophone(const orv::Options& options, std::optional<orv::Recording>& mic) {
    if (options.micFile.empty()) return {};
    Bilingual error;
    mic = orv::Recording::openMicrophone(options.micFile, error);
    return error;
}

Bilingual prepareOutputs(const orv::Options& options, const std::string& settingsDir, Outputs& outputs) {
    const std::vector<std::pair<std::string, std::string>> outs = {
        {"--speaker-file", options.speakerFile}, {"--tx-file", options.txFile}, {"--waterfall", options.waterfall}};
    std::vector<std::string> taken = {options.rxFile, options.micFile, settingsDir + "/" + orv::kConfigFileName,
                                      settingsDir + "/" + orv::kFrequencyFileName};
    for (const auto& [option, path] : outs) {
        if (path.empty()) continue;
        for (const std::string& other : taken)
            if (!other.empty() && orv::sameFile(path, other))
                return {option + " '" + path + "' would overwrite '" + other + "', which this run reads or writes",
                        option + " '" + path + "' écraserait '" + other + "', que cette course lit ou écrit"};
        taken.push_back(path);
    }
    Bilingual error;
    if (!options.speakerFile.empty() && !outputs.speaker.prepare(options.speakerFile, error)) return error;
    if (!options.txFile.empty() && !outputs.tx.prepare(options.txFile, error)) return error;
    if (!options.waterfall.empty() && !outputs.waterfall.prepare(options.waterfall, error)) return error;
    return {};
}

// A batch run has no link (the options refuse --link with --batch): nothing listens,
// nothing is sent.
class NoLinkSocket final : public orv::LinkSocket {
public:
    bool listen(const std::string&, int) override { return false; }
    void close() override {}
    bool send(std::span<const std::uint8_t>, std::size_t) override { return true; }
};

// A batch run's sound roles are all files: no mixer is wanted.
class NoMixer final : public orv::Mixer {
public:
    bool wanted() const override { return false; }
    std::string find() override { return {}; }
    std::vector<std::string> programsLookedFor() const override { return {}; }
    bool start(const std::string&, bool, int) override { return false; }
};

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

// A saved mode that cannot receive the recording's rate (a broadcast-FM setting and a
// 48000 recording) gives way to USB, as the rate menu would not have allowed it.
void fitSavedModeToRecording(orv::Station& station, const Say& say) {
    const orv::Mode mode = station.receiveChain().config().mode;
    const int fee = station.engine().sizes().fee;
    if (orv::modeButton(mode).allows(fee)) return;
    static constexpr const char* kNames[] = {"usb", "lsb", "am", "fm", "wfm", "wfm"};
    const std::string name = kNames[orv::modeNumber(mode) - 1];
    say.line({"The saved mode (" + name + ") cannot receive a recording at " + std::to_string(fee) +
                  " samples/s: receiving in USB (--mode chooses another).",
              "Le mode enregistré (" + name + ") ne peut pas recevoir un enregistrement à " + std::to_string(fee) +
                  " échantillons/s : réception en USB (--mode en choisit un autre)."});
    station.receiver().modeClick(orv::Mode::Usb);
}

// The sound system of a run: the cards (none in batch, whose virtual clock no card
// follows) with files standing in for the roles given one. In batch the speaker output
// goes nowhere when no file is named.
class SoundDevices {
public:
    SoundDevices(const orv::Options& options, std::unique_ptr<orv::WaveApi> cards,
                 const std::optional<orv::Recording>& rx, const std::optional<orv::Recording>& mic,
                 const Outputs& outputs, orv::Clock& clock)
        : cards_(cards ? std::move(cards) : std::make_unique<orv::NullWaveApi>(!options.transmit.empty())),
          rx_(clock, rx, "", options.rxLoop),
          mic_(clock, mic, ""),
          speaker_(clock, std::nullopt, outputs.speaker.writePath(), false, options.speakerFile),
          tx_(clock, std::nullopt, outputs.tx.writePath(), false, options.txFile),
          wave_(*cards_, {rx ? &rx_ : nullptr, mic ? &mic_ : nullptr,
                          options.batch || !options.speakerFile.empty() ? &speaker_ : nullptr,
                          options.txFile.empty() ? nullptr : &tx_}) {}

    orv::RoleWaveApi& wave() { return wave_; }
    orv::FileWaveApi& rx() { return rx_; }
    orv::FileWaveApi& mic() { return mic_; }
    orv::FileWaveApi& speaker() { return speaker_; }
    orv::FileWaveApi& tx() { return tx_; }

private:
    std::unique_ptr<orv::WaveApi> cards_;
    orv::FileWaveApi rx_;
    orv::FileWaveApi mic_;
    orv::FileWaveApi speaker_;
    orv::FileWaveApi tx_;
    orv::RoleWaveApi wave_;
};

// The microphone recording must run at the rate the capture rate gives the microphone.
Bilingual microphoneRateError(const orv::Station& station, const std::optional<orv::Recording>& mic) {
    if (!mic) return {};
    const int fee = station.engine().sizes().fee;
    const int needed = orv::microphoneRate(fee);
    if (mic->rate == needed) return {};
    const std::string m = std::to_string(mic->rate), n = std::to_string(needed), f = std::to_string(fee);
    return {"the microphone recording is at " + m + " samples/s, and at a capture rate of " + f +
                " the microphone runs at " + n,
            "l'enregistrement du microphone est à " + m + " échantillons/s, et à une fréquence d'échantillonnage de " +
                f + " le microphone tourne à " + n};
}

// Start-up, then the recording's rate and the receive options, then receive
// initialisation. False when the station cannot run.
bool startStation(orv::Station& station, const orv::Options& options, const std::optional<orv::Recording>& rx,
                  const Say& say) {
    if (!station.startUp()) return false;
    if (options.rateHz) station.soundMenus().rateItemClick("Fe_" + std::to_string(*options.rateHz));
    if (rx) {
        // The recording stands in for the receive card: its rate is chosen in the rate menu.
        station.soundMenus().rateItemClick("Fe_" + std::to_string(rx->rate));
        if (options.mode.empty()) fitSavedModeToRecording(station, say);
    }
    applyReceiveOptions(station, options);
    station.initReceive();
    return true;
}

// After the recording, the processing still holds up to a block, the band filter's block
// and tail and the last part of a speaker buffer: this much silence brings it all out.
std::int64_t drainFrames(const orv::Station& station, int rate) {
    const int latency = station.engine().sizes().latencySetting;
    return static_cast<std::int64_t>(latency * 25 + 250) * rate / 1000;
}

// With the clock-error test aids: what the regulation did.
void sayRegulation(const orv::Station& station, const Say& say) {
    const orv::MonitorController& monitors = station.monitors();
    const auto ppm = monitors.driftPpm();
    char drift[32] = "-";
    if (ppm) std::snprintf(drift, sizeof drift, "%+.1f ppm", *ppm);
    const std::string n = std::to_string(monitors.corrections());
    const std::string late = std::to_string(monitors.correctionsSince(30001));
    const std::string restarts = std::to_string(monitors.captureRestarts());
    const std::string fill = std::to_string(monitors.fillPercent());
    say.line({"Rate regulation: " + n + " speaker-queue corrections (" + late + " after the first 30 s), " + restarts +
                  " capture restarts, drift " + drift + ", speaker queue at " + fill + " % of a buffer",
              "Régulation : " + n + " corrections de la file du haut-parleur (" + late + " après les 30 premières s), " +
                  restarts + " redémarrages de la capture, dérive " + drift + ", file du haut-parleur à " + fill +
                  " % d'un tampon"});
}

// With --stats: how the run went, for soak tests and for users who wonder.
void sayStatistics(const orv::Station& station, const orv::TickTimes& ticks, const Say& say) {
    char figures[160];
    std::snprintf(figures, sizeof figures, "%lld ticks, 50 %% within %.1f ms, 99 %% within %.1f ms, 99.9 %% within %.1f ms, longest %.1f ms",
                  static_cast<long long>(ticks.count()), ticks.percentile(0.5), ticks.percentile(0.99),
                  ticks.percentile(0.999), ticks.longest());
    const int bufferMs = station.engine().sizes().latencySetting * 25;
    const std::string restarts = std::to_string(station.monitors().captureRestarts());
    say.line({std::string("Main cycle: ") + figures + "; a buffer lasts " + std::to_string(bufferMs) +
                  " ms; capture restarts: " + restarts,
              std::string("Cycle principal : ") + figures + " ; un tampon dure " + std::to_string(bufferMs) +
                  " ms ; redémarrages de la capture : " + restarts});
}

// The speaker file and the waterfall put in place, with what was written. False when
// one of them cannot be.
bool completeOutputs(const orv::Options& options, orv::Station& station, SoundDevices& devices, Outputs& outputs,
                     const orv::WaterfallImage& waterfall, const Say& say) {
    Bilingual error;
    if (!options.txFile.empty()) {
        if (!devices.tx().finishOutput()) {
            say.error(devices.tx().failure());
            return false;
        }
        if (!outputs.tx.commit(error)) {
            say.error(error);
            return false;
        }
        const std::string frames = std::to_string(devices.tx().framesWritten());
        const std::string rate = std::to_string(devices.tx().outputRate());
        say.line({"Transmitted I/Q: " + frames + " frames at " + rate + " samples/s written to " + options.txFile,
                  "I/Q émis : " + frames + " trames à " + rate + " échantillons/s écrites dans " + options.txFile});
    }
    if (!options.speakerFile.empty()) {
        if (!devices.speaker().finishOutput()) {
            say.error(devices.speaker().failure());
            return false;
        }
        if (!outputs.speaker.commit(error)) {
            say.error(error);
            return false;
        }
        const std::string samples = std::to_string(devices.speaker().framesWritten());
        const std::string rate = std::to_string(station.engine().sizes().fes());
        say.line({"Speaker audio: " + samples + " samples at " + rate + " samples/s written to " + options.speakerFile,
                  "Son du haut-parleur : " + samples + " échantillons à " + rate + " échantillons/s écrits dans " +
                      options.speakerFile});
    }
    if (!options.waterfall.empty()) {
        std::string reason;
        if (!orv::writePng(outputs.waterfall.writePath(), waterfall.width(), waterfall.height(), waterfall.composed(),
                           reason)) {
            say.error({"cannot write the waterfall '" + options.waterfall + "': " + reason,
                       "impossible d'écrire la chute d'eau '" + options.waterfall + "' : " + reason});
            return false;
        }
        if (!outputs.waterfall.commit(error)) {
            say.error(error);
            return false;
        }
        const std::string rows = std::to_string(waterfall.rows());
        say.line({"Waterfall: " + rows + " rows written to " + options.waterfall,
                  "Chute d'eau : " + rows + " lignes écrites dans " + options.waterfall});
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Say say(orv::languageForLocale(userLocale()));
    const auto parsed = orv::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.english.empty()) {
        say.error(parsed.error);
        say.line({"Try 'orvandel --help'.", "Essayez 'orvandel --help'."});
        return 2;
    }
    const orv::Options& options = parsed.options;
    if (options.help) {
        std::cout << orv::usageText(say.language());
        return 0;
    }
    if (options.version) {
        std::cout << "orvandel " << ORVANDEL_VERSION << "\n";
        return 0;
    }
    // Real time needs the cards, the window, the link and the serial ports, which the batch
    // program does not load: it hands the run over before anything is opened or written.
    if (Bilingual error; !options.batch && !orv::enterRealTimeProgram(argv, error)) {
        say.error(error);
        return 1;
    }
    std::optional<orv::Recording> rx;
    if (const Bilingual error = openRecording(options, rx); !error.english.empty()) {
        say.error(error);
        return 2;
    }
    std::optional<orv::Recording> mic;
    if (const Bilingual error = openMicrophone(options, mic); !error.english.empty()) {
        say.error(error);
        return 2;
    }

    Outputs outputs;
    if (const Bilingual error = prepareOutputs(options, orv::PosixFiles::directoryFor(options.dir), outputs);
        !error.english.empty()) {
        say.error(error);
        return 2;
    }
    std::string reason;
    const std::string dir = orv::PosixFiles::prepareDirectory(options.dir, reason);
    if (dir.empty()) {
        say.error({"cannot use the settings folder '" + options.dir + "': " + reason,
                   "impossible d'utiliser le dossier des réglages '" + options.dir + "' : " + reason});
        return 1;
    }
    const std::unique_ptr<orv::RealTime> realTime = options.batch ? nullptr : orv::makeRealTime(options, argc, argv);
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);

    orv::PosixFiles files(dir);
    orv::ConsoleView console(std::cerr);
    orv::View* const gui = realTime ? realTime->window() : nullptr;
    orv::View& view = gui ? *gui : console;
    NoMixer noMixer;
    orv::RealClock realClock;
    orv::VirtualClock virtualClock;
    orv::Clock& clock = options.batch ? static_cast<orv::Clock&>(virtualClock) : realClock;
    SoundDevices devices(options, realTime ? realTime->cards() : nullptr, rx, mic, outputs, clock);
    orv::WaterfallImage waterfall;
    NoLinkSocket noLink;
    orv::ProcStatLoad load;
    // A batch run never touches a serial port: nothing on a virtual clock keys a transmitter.
    orv::Station station({devices.wave(), clock, view, files, realTime ? realTime->mixer() : noMixer,
                          realTime ? realTime->linkSocket() : noLink, load,
                          realTime ? &realTime->serial() : nullptr});
    console.followLanguage(station.store().languageByte());
    station.settings().setSystemLanguage(say.language());
    say.follow(station);
    const std::unique_ptr<orv::RealTime::Attached> window = realTime ? realTime->attach(station, waterfall) : nullptr;
    if (gui || !options.waterfall.empty()) station.setWaterfallCanvas(&waterfall);
    if (!startStation(station, options, rx, say)) return 1;
    if (const Bilingual error = microphoneRateError(station, mic); !error.english.empty()) {
        say.error(error);
        station.formClose();
        return 2;
    }
    // After the recording, the microphone gives silence, as a card would.
    if (mic) devices.mic().setDrain(std::numeric_limits<std::int64_t>::max() / 4);
    std::unique_ptr<orv::TransmitScript> transmit;
    if (!options.transmit.empty())
        transmit = std::make_unique<orv::TransmitScript>(station, options.transmit, options.durationSeconds);
    if (realTime) realTime->show();
    if (rx && !options.rxLoop) devices.rx().setDrain(drainFrames(station, rx->rate));
    devices.rx().setClockErrorPpm(options.rxPpmValue);
    devices.speaker().setClockErrorPpm(options.speakerPpmValue);
    if (options.link) {
        if (!options.linkAddress.empty()) station.link().setAddress(options.linkAddress);
        station.link().connectionClick();
    }

    Bilingual failure;
    orv::TickTimes ticks;
    if (options.batch && transmit) {
        failure = orv::runTransmitBatch(station, devices.wave(), virtualClock, *transmit, *options.durationSeconds,
                                        stopRequested);
    } else if (options.batch) {
        failure = orv::runBatch(station, devices.wave(), virtualClock, devices.rx(), devices.speaker(), *rx,
                                stopRequested)
                      .failure;
    } else {
        const bool endsWithRecording = rx && !options.rxLoop;
        failure = realTime->run(station, devices.wave(), endsWithRecording ? &devices.rx() : nullptr,
                                options.speakerFile.empty() ? nullptr : &devices.speaker(), transmit.get(), clock,
                                ticks, stopRequested);
    }
    if (!failure.english.empty()) {
        say.error(failure);
        return 1;
    }
    if (!completeOutputs(options, station, devices, outputs, waterfall, say)) return 1;
    if (!options.speakerPpm.empty() || !options.rxPpm.empty()) sayRegulation(station, say);
    if (options.stats) sayStatistics(station, ticks, say);
    if (station.store().saveFailed()) {
        say.error({"the settings could not be saved in '" + dir + "'",
                   "les réglages n'ont pas pu être enregistrés dans '" + dir + "'"});
        return 1;
    }
    return 0;
}
