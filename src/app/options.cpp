#include "app/options.hpp"

#include <stdexcept>

#include "display/tuning.hpp"

namespace orv {

namespace {

struct OptionRow {
    const char* name;
    const char* value;  // nullptr for a flag
    const char* help;
};

constexpr OptionRow kOptions[] = {
    {"--headless", nullptr, "run the station without windows, in real time"},
    {"--batch", nullptr, "with --headless: run on a virtual clock, as fast as the processor allows"},
    {"--dir", "DIR", "keep the settings in DIR (default: ~/.config/orvandel)"},
    {"--rx-file", "IQ.wav", "replay a 16-bit stereo I/Q recording as the receive card; its rate sets the capture rate"},
    {"--rx-loop", nullptr, "with --rx-file in real time: start the recording again at its end instead of stopping"},
    {"--speaker-file", "OUT.wav", "write the speaker audio to a 16-bit mono WAV file instead of the speaker card"},
    {"--mic-file", "IN.wav", "replay a 16-bit mono recording at 11025 or 12000 as the microphone card"},
    {"--tx-file", "IQ_OUT.wav", "write the transmitted I/Q to a 16-bit stereo WAV file instead of the TX card"},
    {"--mode", "usb|lsb|am|fm|wfm", "demodulate a sideband, AM, FM, or broadcast FM (at 96000 or 192000)"},
    {"--nr", "off|weak|strong", "noise reducer"},
    {"--offset", "HZ", "tune to HZ from the centre of the band (negative below it)"},
    {"--bandwidth", "BW", "audio passband: 550-850, 400-1100, 1200, 2100, 2700, 3300, 4000 or max"},
    {"--agc", "on|off", "receive automatic gain control"},
    {"--centre", "HZ", "the HF frequency at the centre of the band, for the readout"},
    {"--waterfall", "OUT.png", "headless: save the waterfall and its scale as it stands at the end of the run"},
    {"--help", nullptr, "show this help and exit"},
    {"--version", nullptr, "show the version and exit"},
};

// The option's value slot when `arg` names an option that takes one ("--x" or "--x=v").
std::string* valueOption(Options& o, const std::string& arg) {
    const std::string name = arg.substr(0, arg.find('='));
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
    return nullptr;
}

// The checks a value must pass; an empty result means it is good.
std::string checkValues(const Options& o) {
    if (!o.mode.empty() && o.mode != "usb" && o.mode != "lsb" && o.mode != "am" && o.mode != "fm" && o.mode != "wfm")
        return "--mode takes usb, lsb, am, fm or wfm, not '" + o.mode + "'";
    if (!o.nr.empty() && o.nr != "off" && o.nr != "weak" && o.nr != "strong")
        return "--nr takes off, weak or strong, not '" + o.nr + "'";
    if (!o.bandwidth.empty() && !bandButtonFor(o.bandwidth))
        return "--bandwidth takes 550-850, 400-1100, 1200, 2100, 2700, 3300, 4000 or max, not '" + o.bandwidth + "'";
    if (!o.agc.empty() && o.agc != "on" && o.agc != "off") return "--agc takes on or off, not '" + o.agc + "'";
    if (!o.centre.empty() && (o.centre.size() > 9 || o.centre.find_first_not_of("0123456789") != std::string::npos))
        return "--centre takes a frequency of 1 to 9 digits in hertz, not '" + o.centre + "'";
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
        } else if (arg == "--offset" || arg.starts_with("--offset=")) {
            const bool inlineValue = arg != "--offset";
            if (!inlineValue && i + 1 >= args.size()) {
                parsed.error = "option --offset needs a value";
                return parsed;
            }
            const std::string value = inlineValue ? arg.substr(9) : args[++i];
            try {
                std::size_t used = 0;
                o.offsetHz = std::stoi(value, &used);
                if (used != value.size()) throw std::invalid_argument(value);
            } catch (const std::exception&) {
                parsed.error = "--offset takes a whole number of hertz, not '" + value + "'";
                return parsed;
            }
        } else if (std::string* value = valueOption(o, arg)) {
            const std::string name = arg.substr(0, arg.find('='));
            const bool inlineValue = arg.find('=') != std::string::npos;
            if (!inlineValue && i + 1 >= args.size()) {
                parsed.error = "option " + name + " needs a value";
                return parsed;
            }
            *value = inlineValue ? arg.substr(arg.find('=') + 1) : args[++i];
            if (value->empty()) {
                parsed.error = "option " + name + " needs a value";
                return parsed;
            }
        } else {
            parsed.error = "unknown option '" + arg + "'";
            return parsed;
        }
    }
    if (o.batch && !o.headless) parsed.error = "--batch goes with --headless";
    if (const std::string bad = checkValues(o); !bad.empty()) parsed.error = bad;
    if (o.rxLoop && o.rxFile.empty()) parsed.error = "--rx-loop goes with --rx-file";
    if (o.rxLoop && o.batch) parsed.error = "--rx-loop replays without end; batch mode ends with the recording";
    return parsed;
}

std::string usageText() {
    std::string text = "Usage: orvandel [options]\n\nA software-defined-radio transceiver on the PC's sound cards.\n\n";
    for (const auto& row : kOptions) {
        std::string left = std::string("  ") + row.name + (row.value ? std::string(" ") + row.value : "");
        left.resize(std::max<std::size_t>(left.size() + 2, 20), ' ');
        text += left + row.help + "\n";
    }
    return text;
}

}  // namespace orv
