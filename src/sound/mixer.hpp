#pragma once

#include <string>
#include <vector>

namespace orv {

// Finds and starts the platform's sound mixer for the mixer buttons.
class Mixer {
public:
    virtual ~Mixer() = default;
    // Whether this run has cards whose mixer the user could open; a run on files alone
    // has none, and says nothing about a missing mixer.
    virtual bool wanted() const { return true; }
    // The command that starts the mixer, or empty when none is installed.
    virtual std::string find() = 0;
    // The programs looked for, in the order tried, for the message when none is found.
    virtual std::vector<std::string> programsLookedFor() const = 0;
    // Opens the mixer found by find() on the recording or the playback side, for
    // device `device` (or the default device when it is -1).
    virtual bool start(const std::string& command, bool recording, int device) = 0;
};

}  // namespace orv
