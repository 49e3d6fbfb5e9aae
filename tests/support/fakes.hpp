#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "ui/clock.hpp"
#include "sound/mixer.hpp"
#include "ui/link_socket.hpp"
#include "ui/processor_load.hpp"
#include "ui/serial_api.hpp"
#include "ui/view.hpp"

namespace orv::test {

// Records what the station shows. openMessageWindow runs `whileOpen` (if set) as the
// events a modal window lets through.
class RecordingView final : public View {
public:
    struct Message {
        std::string title;
        std::string text;
        bool replaced = false;  // went into a window already on screen
    };
    struct Box {
        BoxIcon icon;
        std::string text;
    };

    std::vector<Message> messages;
    std::vector<Box> boxes;
    std::vector<std::pair<int, int>> beeps;
    std::string focus;
    std::function<void()> whileOpen;

    void openMessageWindow(const std::string& title, const std::string& text) override {
        messages.push_back({title, text, false});
        if (whileOpen) {
            auto events = std::move(whileOpen);
            events();
        }
    }
    void replaceMessageWindow(const std::string& title, const std::string& text) override {
        messages.push_back({title, text, true});
    }
    void showStandardBox(BoxIcon icon, const std::string& text) override { boxes.push_back({icon, text}); }
    void beep(int frequencyHz, int durationMs) override { beeps.emplace_back(frequencyHz, durationMs); }
    void setFocus(const std::string& control) override { focus = control; }
    void openHelp(const std::string& file, int context) override { help.emplace_back(file, context); }
    std::vector<std::pair<std::string, int>> help;
    int frequencyMemoryOpened = 0;
    void openFrequencyMemory() override { ++frequencyMemoryOpened; }
    std::vector<std::string> statusLines;
    void statusLine(const std::string& line) override { statusLines.push_back(line); }
};

class FakeMixer final : public Mixer {
public:
    std::string command = "pavucontrol";
    struct Start {
        std::string command;
        bool recording;
        int device;
        bool operator==(const Start&) const = default;
    };
    std::vector<Start> started;
    std::string find() override { return command; }
    std::vector<std::string> programsLookedFor() const override { return {"pavucontrol", "alsamixer"}; }
    bool start(const std::string& c, bool recording, int device) override {
        started.push_back({c, recording, device});
        return true;
    }
};

// A server socket that records what the station asks of it; the test plays the client
// by calling the station's link handlers.
class FakeLinkSocket final : public LinkSocket {
public:
    bool listening = false;
    std::string address;
    int port = 0;
    int closes = 0;
    bool clientReads = true;  // false: every send is dropped, as for a client that never reads
    std::vector<std::uint8_t> sent;

    bool listen(const std::string& a, int p) override {
        listening = true;
        address = a;
        port = p;
        return true;
    }
    void close() override {
        listening = false;
        ++closes;
    }
    bool send(std::span<const std::uint8_t> bytes, std::size_t) override {
        if (!clientReads) return false;
        sent.insert(sent.end(), bytes.begin(), bytes.end());
        return true;
    }
};

// A processor-load source that answers what the test puts in it (nothing: no source).
class FakeLoad final : public ProcessorLoad {
public:
    std::vector<int> readings;
    bool available = true;
    std::optional<int> read() override {
        if (!available) return std::nullopt;
        if (readings.empty()) return 0;
        const int r = readings.front();
        readings.erase(readings.begin());
        return r;
    }
};

// Serial ports as a wired station sees them: every call is logged ("open ttyUSB0",
// "dtr 1 on", "rts 1 off", "close 1"); the lines' states follow; CTS reads the switch
// the test sets; a name in `refuse` cannot be opened.
class FakeSerialLine final : public SerialApi {
public:
    std::vector<std::string> names;
    std::vector<std::string> refuse;
    std::vector<std::string> log;
    std::map<Handle, std::string> open_;
    std::map<std::string, bool> dtr, rts, switchOn;  // by port name; switchOn is read on CTS

    std::vector<std::string> portNames() override {
        log.push_back("list");
        return names;
    }
    Handle open(const std::string& name) override {
        log.push_back("open " + name);
        if (std::find(refuse.begin(), refuse.end(), name) != refuse.end()) return kInvalid;
        const Handle h = next_++;
        open_[h] = name;
        return h;
    }
    void close(Handle h) override {
        log.push_back("close " + std::to_string(h));
        open_.erase(h);
    }
    void setDtr(Handle h, bool on) override { line("dtr", dtr, h, on); }
    void setRts(Handle h, bool on) override { line("rts", rts, h, on); }
    bool cts(Handle h) override { return open_.count(h) && switchOn[open_[h]]; }

    // The output keys the transmitter: both lines up on a port.
    bool keyed(const std::string& name) { return dtr[name] && rts[name]; }
    // Calls other than listing the ports.
    std::size_t portCalls() const {
        return static_cast<std::size_t>(std::count_if(log.begin(), log.end(), [](const std::string& c) { return c != "list"; }));
    }

private:
    void line(const char* what, std::map<std::string, bool>& lines, Handle h, bool on) {
        log.push_back(std::string(what) + " " + std::to_string(h) + (on ? " on" : " off"));
        if (open_.count(h)) lines[open_[h]] = on;
    }
    Handle next_ = 1;
};

}  // namespace orv::test
