#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/serial_api.hpp"

namespace orv {

// The two serial ports of the PTT: the output keys the transmitter on DTR and RTS; the
// input reads a switch on CTS (its DTR raised to feed the switch, RTS dropped). COMn is
// the n-th port of the system's list.
class SerialPtt {
public:
    static constexpr int kPorts = 16;
    static constexpr std::uint8_t kNoPortCode = 10;

    // Port codes as the settings store them: 1 … 6, 8, 9, 11 … 18 for COM1 … COM16; 10 none.
    static int portFromCode(std::uint8_t code);
    static std::uint8_t codeForPort(int port);

    explicit SerialPtt(SerialApi& api) : api_(api) {}
    SerialPtt(const SerialPtt&) = delete;
    SerialPtt& operator=(const SerialPtt&) = delete;
    ~SerialPtt() { closeAll(); }

    // Which of COM1 … COM16 the system has, from its list: no port is opened, since
    // opening one raises its DTR and RTS and would key a transmitter wired to it.
    void scan();
    bool present(int port) const;
    // The system's name of COMn, empty when absent.
    std::string systemName(int port) const;

    // Opens COMn as the output and drops DTR and RTS at once. With `test` it is closed
    // again. False when it cannot be opened.
    bool openOutput(int port, bool test);
    // Opens COMn as the input with DTR raised and RTS dropped.
    bool openInput(int port);
    void closeOutput();
    void closeInput();
    void closeAll() {
        keyOff();
        closeOutput();
        closeInput();
    }
    bool outputOpen() const { return output_ != SerialApi::kInvalid; }
    bool inputOpen() const { return input_ != SerialApi::kInvalid; }

    // DTR then RTS of the output port, when it is open.
    void keyOn();
    void keyOff();
    bool keyed() const { return keyed_; }
    // CTS of the input port; false when it is not open.
    bool readInput();

private:
    SerialApi& api_;
    std::vector<std::string> names_;
    SerialApi::Handle output_ = SerialApi::kInvalid;
    SerialApi::Handle input_ = SerialApi::kInvalid;
    bool keyed_ = false;
};

}  // namespace orv
