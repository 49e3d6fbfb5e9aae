#include "app/options.hpp"

#include <algorithm>
#include <charconv>
#include <tuple>

#include "display/tuning.hpp"
#include "dsp/rates.hpp"
#include "settings/config_record.hpp"

namespace orv {

namespace {

struct OptionRow {
    const char* name;
    const char* value;  // nullptr for a flag
    const char* english;
    const char* french;
};

constexpr OptionRow kOptions[] = {
    {"--headless", nullptr, "run the station without windows, in real time",
     "faire tourner la station sans fenêtre, en temps réel"},
    {"--batch", nullptr, "with --headless: run on a virtual clock, as fast as the processor allows",
     "avec --headless : tourner sur une horloge virtuelle, aussi vite que le processeur le permet"},
    {"--dir", "DIR", "keep the settings in DIR (default: ~/.config/orvandel)",
     "garder les réglages dans DIR (par défaut : ~/.config/orvandel)"},
    {"--rx-file", "IQ.wav", "replay a 16-bit stereo I/Q recording as the receive card; its rate sets the capture rate",
     "rejouer un enregistrement I/Q stéréo 16 bits comme carte de réception ; sa fréquence fixe celle d'échantillonnage"},
    {"--rx-loop", nullptr, "with --rx-file in real time: start the recording again at its end instead of stopping",
     "avec --rx-file en temps réel : reprendre l'enregistrement à son début au lieu de s'arrêter"},
    {"--speaker-file", "OUT.wav", "write the speaker audio to a 16-bit mono WAV file instead of the speaker card",
     "écrire le son du haut-parleur dans un fichier WAV mono 16 bits au lieu de la carte son"},
    {"--mic-file", "IN.wav", "replay a 16-bit mono recording (11025 or 12000 samples/s) as the microphone card",
     "rejouer un enregistrement mono 16 bits (11025 ou 12000 échantillons/s) comme carte du microphone"},
    {"--tx-file", "IQ_OUT.wav", "write the transmitted I/Q to a 16-bit stereo WAV file instead of the TX card",
     "écrire l'I/Q émis dans un fichier WAV stéréo 16 bits au lieu de la carte d'émission"},
    {"--transmit", "voice|tune|tone3000", "headless: transmit the microphone, the tune carrier or the +3000 Hz tone at start",
     "sans fenêtre : émettre le microphone, la porteuse de réglage ou la tonalité à +3000 Hz au démarrage"},
    {"--duration", "S", "with --transmit: end the transmission after S seconds, then stop",
     "avec --transmit : finir l'émission après S secondes, puis s'arrêter"},
    {"--rate", "HZ", "the capture rate of a run without --rx-file: 11025, 12000, 44100, 48000, 96000 or 192000",
     "la fréquence d'échantillonnage d'une course sans --rx-file : 11025, 12000, 44100, 48000, 96000 ou 192000"},
    {"--mode", "usb|lsb|am|fm|wfm", "demodulate a sideband, AM, FM, or broadcast FM (at 96000 or 192000)",
     "démoduler une bande latérale, l'AM, la FM, ou la FM de radiodiffusion (à 96000 ou 192000)"},
    {"--nr", "off|weak|strong", "noise reducer", "réducteur de bruit"},
    {"--offset", "HZ", "tune to HZ from the centre of the band (negative below it)",
     "s'accorder à HZ du centre de la bande (négatif en dessous)"},
    {"--bandwidth", "BW", "audio passband: 550-850, 400-1100, 1200, 2100, 2700, 3300, 4000 or max",
     "bande passante audio : 550-850, 400-1100, 1200, 2100, 2700, 3300, 4000 ou max"},
    {"--agc", "on|off", "receive automatic gain control", "commande automatique de gain en réception"},
    {"--centre", "HZ", "the HF frequency at the centre of the band, for the readout",
     "la fréquence HF au centre de la bande, pour l'affichage"},
    {"--waterfall", "OUT.png", "headless: save the waterfall and its scale as it stands at the end of the run",
     "sans fenêtre : enregistrer la chute d'eau et son échelle telles qu'à la fin de la course"},
    {"--link", nullptr, "open the link to the decoding program (TCP port 3020) at start",
     "ouvrir le lien avec le programme de décodage (port TCP 3020) au démarrage"},
    {"--link-address", "ADDR", "with --link: listen on ADDR (default 127.0.0.1: this computer only; 0.0.0.0: every network)",
     "avec --link : écouter sur ADDR (par défaut 127.0.0.1 : cet ordinateur seul ; 0.0.0.0 : tous les réseaux)"},
    {"--speaker-ppm", "PPM", "test aid: the speaker file plays PPM parts per million fast (negative: slow)",
     "aide aux essais : le fichier du haut-parleur joue PPM millionièmes trop vite (négatif : trop lentement)"},
    {"--rx-ppm", "PPM", "test aid: the recording is captured PPM parts per million fast (negative: slow)",
     "aide aux essais : l'enregistrement est capturé PPM millionièmes trop vite (négatif : trop lentement)"},
    {"--stats", nullptr, "in real time: say at the end how long the main cycle's ticks took and how often capture restarted",
     "en temps réel : dire à la fin combien de temps ont pris les tours du cycle principal et combien de fois la capture a redémarré"},
    {"--help", nullptr, "show this help and exit", "afficher cette aide et quitter"},
    {"--version", nullptr, "show the version and exit", "afficher la version et quitter"},
};

// The option's value slot when `name` names an option that takes a text value.
std::string* valueOption(Options& o, const std::string& name) {
    if (name == "--dir") return &o.dir;
    if (name == "--rx-file") return &o.rxFile;
    if (name == "--speaker-file") return &o.speakerFile;
    if (name == "--mic-file") return &o.micFile;
    if (name == "--tx-file") return &o.txFile;
    if (name == "--mode") return &o.mode;
    if (name == "--bandwidth") return &o.bandwidth;
    if (name == "--agc") return &o.agc;
    if (name == "--nr") return &o.nr;
    if (name == "--waterfall") return &o.waterfall;
    if (name == "--centre") return &o.centre;
    if (name == "--offset") return &o.offset;
    if (name == "--link-address") return &o.linkAddress;
    if (name == "--speaker-ppm") return &o.speakerPpm;
    if (name == "--rx-ppm") return &o.rxPpm;
    if (name == "--transmit") return &o.transmit;
    if (name == "--duration") return &o.duration;
    if (name == "--rate") return &o.rate;
    return nullptr;
}

Bilingual takes(const std::string& option, const std::string& english, const std::string& french,
                const std::string& value) {
    return {option + " takes " + english + ", not '" + value + "'", option + " prend " + french + ", pas '" + value + "'"};
}

// The tuning offset: an optional sign and digits, nothing around them, within what the
// settings can keep.
Bilingual parseOffset(const std::string& value, std::optional<int>& offsetHz) {
    constexpr int kLimit = kMaxOffsetSteps * kTuneStepHz;
    const char* first = value.data() + (value.starts_with('+') ? 1 : 0);
    const char* last = value.data() + value.size();
    long long hz = 0;
    const auto [end, error] = std::from_chars(first, last, hz);
    if (first == last || end != last || value.starts_with("+-") ||
        (error != std::errc() && error != std::errc::result_out_of_range))
        return takes("--offset", "a whole number of hertz", "un nombre entier de hertz", value);
    if (error == std::errc::result_out_of_range || hz < -kLimit || hz > kLimit) {
        const std::string range = std::to_string(-kLimit) + " … " + std::to_string(kLimit);
        return {"--offset " + value + " is out of range (" + range + " Hz)",
                "--offset " + value + " est hors limites (" + range + " Hz)"};
    }
    offsetHz = static_cast<int>(hz);
    return {};
}

// The checks a value must pass; an empty result means it is good.
Bilingual checkValues(Options& o) {
    if (!o.mode.empty() && o.mode != "usb" && o.mode != "lsb" && o.mode != "am" && o.mode != "fm" && o.mode != "wfm")
        return takes("--mode", "usb, lsb, am, fm or wfm", "usb, lsb, am, fm ou wfm", o.mode);
    if (!o.nr.empty() && o.nr != "off" && o.nr != "weak" && o.nr != "strong")
        return takes("--nr", "off, weak or strong", "off, weak ou strong", o.nr);
    if (!o.bandwidth.empty() && !bandButtonFor(o.bandwidth))
        return takes("--bandwidth", "550-850, 400-1100, 1200, 2100, 2700, 3300, 4000 or max",
                     "550-850, 400-1100, 1200, 2100, 2700, 3300, 4000 ou max", o.bandwidth);
    if (!o.agc.empty() && o.agc != "on" && o.agc != "off") return takes("--agc", "on or off", "on ou off", o.agc);
    if (!o.centre.empty() && (o.centre.size() > 9 || o.centre.find_first_not_of("0123456789") != std::string::npos))
        return takes("--centre", "a frequency of 1 to 9 digits in hertz", "une fréquence de 1 à 9 chiffres en hertz",
                     o.centre);
    for (auto [text, value, name] : {std::tuple{&o.speakerPpm, &o.speakerPpmValue, "--speaker-ppm"},
                                     std::tuple{&o.rxPpm, &o.rxPpmValue, "--rx-ppm"}}) {
        if (text->empty()) continue;
        const char* first = text->data();
        const auto [end, error] = std::from_chars(first, first + text->size(), *value);
        if (error != std::errc() || end != first + text->size() || *value < -10000 || *value > 10000)
            return takes(name, "parts per million from -10000 to 10000", "des millionièmes de -10000 à 10000", *text);
    }
    if (!o.transmit.empty() && o.transmit != "voice" && o.transmit != "tune" && o.transmit != "tone3000")
        return takes("--transmit", "voice, tune or tone3000", "voice, tune ou tone3000", o.transmit);
    if (!o.duration.empty()) {
        double seconds = 0;
        const char* first = o.duration.data();
        const auto [end, error] = std::from_chars(first, first + o.duration.size(), seconds);
        if (error != std::errc() || end != first + o.duration.size() || !(seconds > 0) || seconds > 86400)
            return takes("--duration", "seconds from 0 to 86400", "des secondes de 0 à 86400", o.duration);
        o.durationSeconds = seconds;
    }
    if (!o.rate.empty()) {
        int hz = 0;
        const char* first = o.rate.data();
        const auto [end, error] = std::from_chars(first, first + o.rate.size(), hz);
        const bool known = std::find(std::begin(kCaptureRates), std::end(kCaptureRates), hz) != std::end(kCaptureRates);
        if (error != std::errc() || end != first + o.rate.size() || !known)
            return takes("--rate", "11025, 12000, 44100, 48000, 96000 or 192000",
                         "11025, 12000, 44100, 48000, 96000 ou 192000", o.rate);
        o.rateHz = hz;
    }
    if (!o.offset.empty()) return parseOffset(o.offset, o.offsetHz);
    return {};
}

// What does not go together; an empty result when all does.
Bilingual checkCombinations(const Options& o) {
    if (o.batch && !o.headless) return {"--batch goes with --headless", "--batch va avec --headless"};
    if (o.rxLoop && o.rxFile.empty()) return {"--rx-loop goes with --rx-file", "--rx-loop va avec --rx-file"};
    if (o.rxLoop && o.batch)
        return {"--rx-loop replays without end; batch mode ends with the recording",
                "--rx-loop rejoue sans fin ; le mode batch s'arrête avec l'enregistrement"};
    if (o.link && o.batch)
        return {"--link needs real time: the decoding program cannot follow a batch run",
                "--link demande le temps réel : le programme de décodage ne peut pas suivre une course en batch"};
    if (!o.linkAddress.empty() && !o.link) return {"--link-address goes with --link", "--link-address va avec --link"};
    if (!o.transmit.empty() && !o.headless)
        return {"--transmit goes with --headless: in the window the buttons transmit",
                "--transmit va avec --headless : dans la fenêtre, les boutons émettent"};
    if (!o.duration.empty() && o.transmit.empty()) return {"--duration goes with --transmit", "--duration va avec --transmit"};
    if (!o.transmit.empty() && o.batch && o.duration.empty())
        return {"a batch transmission needs its length: give it with --duration",
                "une émission en batch a besoin de sa durée : donnez-la avec --duration"};
    if (o.transmit == "voice" && o.batch && o.micFile.empty())
        return {"a batch voice transmission needs its microphone: give it with --mic-file",
                "une émission de voix en batch a besoin de son microphone : donnez-le avec --mic-file"};
    if (!o.rate.empty() && !o.rxFile.empty())
        return {"--rate and --rx-file do not go together: the recording's rate is the capture rate",
                "--rate et --rx-file ne vont pas ensemble : la fréquence de l'enregistrement est celle d'échantillonnage"};
    if (o.link && !o.transmit.empty())
        return {"--transmit and --link do not go together: the decoding program transmits through the link",
                "--transmit et --link ne vont pas ensemble : le programme de décodage émet par le lien"};
    if (o.batch && o.rxFile.empty() && o.transmit.empty() && !o.help && !o.version)
        return {"a batch run replays a recording or transmits: give --rx-file or --transmit",
                "une course en batch rejoue un enregistrement ou émet : donnez --rx-file ou --transmit"};
    return {};
}

}  // namespace

const char* bandButtonFor(const std::string& value) {
    for (const auto& b : kBandButtons)
        if (value == b.commandLine) return b.name;
    return nullptr;
}

ParsedOptions parseOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    Options& o = parsed.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::string name = arg.starts_with("--") ? arg.substr(0, arg.find('=')) : arg;
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--headless") {
            o.headless = true;
        } else if (arg == "--batch") {
            o.batch = true;
        } else if (arg == "--rx-loop") {
            o.rxLoop = true;
        } else if (arg == "--link") {
            o.link = true;
        } else if (arg == "--stats") {
            o.stats = true;
        } else if (std::string* value = valueOption(o, name)) {
            const bool inlineValue = arg.size() > name.size();
            // A value is never the next option: "--dir --rx-file x.wav" lacks the folder.
            const bool nextIsValue = i + 1 < args.size() && !args[i + 1].starts_with("--");
            if (!inlineValue && !nextIsValue) {
                parsed.error = {"option " + name + " needs a value", "l'option " + name + " demande une valeur"};
                return parsed;
            }
            *value = inlineValue ? arg.substr(name.size() + 1) : args[++i];
            if (value->empty()) {
                parsed.error = {"option " + name + " needs a value", "l'option " + name + " demande une valeur"};
                return parsed;
            }
        } else {
            parsed.error = {"unknown option '" + arg + "'", "option inconnue '" + arg + "'"};
            return parsed;
        }
    }
    if (parsed.error = checkValues(o); !parsed.error.english.empty()) return parsed;
    parsed.error = checkCombinations(o);
    return parsed;
}

std::string usageText(std::uint8_t language) {
    std::string text = langText(language, "Usage: orvandel [options]\n\nA software-defined-radio transceiver on the PC's sound cards.\n\n",
                                "Usage : orvandel [options]\n\nUn émetteur-récepteur radio logiciel sur les cartes son du PC.\n\n");
    for (const auto& row : kOptions) {
        std::string left = std::string("  ") + row.name + (row.value ? std::string(" ") + row.value : "");
        left.resize(std::max<std::size_t>(left.size() + 2, 20), ' ');
        text += left + langText(language, row.english, row.french) + "\n";
    }
    return text;
}

}  // namespace orv
