#pragma once

#include <atomic>
#include <memory>

#include "app/options.hpp"
#include "ui/lang_text.hpp"

namespace orv {

class Clock;
class FileWaveApi;
class LinkSocket;
class Mixer;
class WaterfallImage;
class RoleWaveApi;
class SerialApi;
class Station;
class TickTimes;
class TransmitScript;
class View;
class WaveApi;

// What only real-time runs need: the sound cards, the window, the link's TCP server and
// the serial ports, and the Qt modules and libraries behind them. The batch program
// (`orvandel`) is built without them, so a batch run loads none of them; it hands every
// real-time run to the real-time program (`orvandel-realtime`), which has them.
class RealTime {
public:
    // What attach() hands back: the window, to be closed before the station goes.
    class Attached {
    public:
        virtual ~Attached() = default;
    };

    virtual ~RealTime() = default;
    virtual std::unique_ptr<WaveApi> cards() = 0;
    // The window's view, or null for a headless run.
    virtual View* window() = 0;
    virtual LinkSocket& linkSocket() = 0;
    virtual SerialApi& serial() = 0;
    // The desktop's mixer program, for the mixer buttons.
    virtual Mixer& mixer() = 0;
    // Once the station exists: the link's events go to it, and the window shows it. The
    // window (null when headless) goes to the caller, to be closed before the station goes.
    virtual std::unique_ptr<Attached> attach(Station& station, WaterfallImage& waterfall) = 0;
    virtual void show() = 0;
    // Runs the main cycle until the window closes, a signal stops it, or a replayed
    // recording (`rx`, when the run ends with it) or a transmission (`transmit`) is over.
    virtual Bilingual run(Station& station, RoleWaveApi& wave, const FileWaveApi* rx, const FileWaveApi* speaker,
                          TransmitScript* transmit, Clock& clock, TickTimes& ticks,
                          const std::atomic<bool>& stop) = 0;
};

// Makes sure this process can run in real time: the real-time program can, and the batch
// program replaces itself by the real-time program with the same arguments (and does
// not return). False, with the reason, when that program cannot be started.
bool enterRealTimeProgram(char** argv, Bilingual& error);

// The real-time parts for a run of these options, the Qt application first (a window's,
// or the event loop's without one).
std::unique_ptr<RealTime> makeRealTime(const Options& options, int& argc, char** argv);

}  // namespace orv
