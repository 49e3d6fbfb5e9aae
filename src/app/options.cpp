#include "app/options.hpp"

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
    {"--help", nullptr, "show this help and exit"},
    {"--version", nullptr, "show the version and exit"},
};

}  // namespace

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
        } else if (arg == "--dir" || arg.starts_with("--dir=")) {
            if (arg == "--dir" && i + 1 >= args.size()) {
                parsed.error = "option --dir needs a folder";
                return parsed;
            }
            o.dir = arg == "--dir" ? args[++i] : arg.substr(6);
            if (o.dir.empty()) {
                parsed.error = "option --dir needs a folder";
                return parsed;
            }
        } else {
            parsed.error = "unknown option '" + arg + "'";
            return parsed;
        }
    }
    if (o.batch && !o.headless) parsed.error = "--batch goes with --headless";
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
