#pragma once

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
};

struct ParsedOptions {
    Options options;
    std::string error;  // empty when the command line is good
};

ParsedOptions parseOptions(const std::vector<std::string>& args);
std::string usageText();

}  // namespace orv
