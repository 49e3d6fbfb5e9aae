#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/lang_text.hpp"

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
    std::string offset;           // as given
    std::optional<int> offsetHz;  // its value, once checked
    std::string waterfall;  // PNG written at the end of a headless run
    std::string centre;     // Frequence_centrale
    std::string speakerPpm;   // test aids: clock errors of the file devices, parts per million
    std::string rxPpm;
    double speakerPpmValue = 0;
    double rxPpmValue = 0;
    std::string rate;         // the capture rate of a run without a recording
    std::optional<int> rateHz;
    std::string transmit;     // voice, tune or tone3000: a transmission for the run
    std::string duration;     // its length in seconds
    std::optional<double> durationSeconds;
    bool stats = false;       // say how the main cycle's ticks went at the end
    bool link = false;        // open the link at start
    std::string linkAddress;  // where it listens (loopback when empty)
};

// The bandwidth button a --bandwidth value names, or nullptr.
const char* bandButtonFor(const std::string& value);

struct ParsedOptions {
    Options options;
    Bilingual error;  // empty when the command line is good
};

ParsedOptions parseOptions(const std::vector<std::string>& args);
std::string usageText(std::uint8_t language);

}  // namespace orv
