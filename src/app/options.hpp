#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orv {

struct Options {
    bool help = false;
    bool version = false;
    bool headless = false;
    bool batch = false;
    std::string dir;
    std::string rxFile;
    std::string speakerFile;
    std::string micFile;
    std::string txFile;
    bool rxLoop = false;
    std::string mode;       // usb, lsb, am, fm, wfm
    std::string nr;         // off, weak, strong
    std::string bandwidth;  // a bandwidth button's caption: 550-850 … 4000, max
    std::string agc;        // on, off
    std::optional<int> offsetHz;
    std::string waterfall;  // PNG written at the end of a headless run
    std::string centre;     // Frequence_centrale
};

// The bandwidth button a --bandwidth value names, or nullptr.
const char* bandButtonFor(const std::string& value);

struct ParsedOptions {
    Options options;
    std::string error;  // empty when the command line is good
};

ParsedOptions parseOptions(const std::vector<std::string>& args);
std::string usageText();

}  // namespace orv
