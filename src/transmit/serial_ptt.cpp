#include "transmit/serial_ptt.hpp"

namespace orv {

int SerialPtt::portFromCode(std::uint8_t code) {
    if (code == kNoPortCode || code == 0 || code == 7 || code > 18) return 0;
    if (code <= 6) return code;
    return code <= 9 ? code - 1 : code - 2;
}

std::uint8_t SerialPtt::codeForPort(int port) {
    if (port < 1 || port > kPorts) return kNoPortCode;
    if (port <= 6) return static_cast<std::uint8_t>(port);
    return static_cast<std::uint8_t>(port <= 8 ? port + 1 : port + 2);
}

void SerialPtt::scan() { names_ = api_.portNames(); }

bool SerialPtt::present(int port) const { return port >= 1 && port <= static_cast<int>(names_.size()) && port <= kPorts; }

std::string SerialPtt::systemName(int port) const {
    return present(port) ? names_[static_cast<std::size_t>(port - 1)] : std::string();
}

bool SerialPtt::openOutput(int port, bool test) {
    closeOutput();
    if (!present(port)) return false;
    output_ = api_.open(systemName(port));
    if (output_ == SerialApi::kInvalid) return false;
    // The system may raise both lines as it opens the port: drop them before anything else.
    api_.setDtr(output_, false);
    api_.setRts(output_, false);
    if (test) closeOutput();
    return true;
}

bool SerialPtt::openInput(int port) {
    closeInput();
    if (!present(port)) return false;
    input_ = api_.open(systemName(port));
    if (input_ == SerialApi::kInvalid) return false;
    api_.setDtr(input_, true);
    api_.setRts(input_, false);
    return true;
}

void SerialPtt::closeOutput() {
    if (output_ == SerialApi::kInvalid) return;
    if (keyed_) keyOff();
    api_.close(output_);
    output_ = SerialApi::kInvalid;
}

void SerialPtt::closeInput() {
    if (input_ == SerialApi::kInvalid) return;
    api_.close(input_);
    input_ = SerialApi::kInvalid;
}

void SerialPtt::keyOn() {
    if (!outputOpen()) return;
    api_.setDtr(output_, true);
    api_.setRts(output_, true);
    keyed_ = true;
}

void SerialPtt::keyOff() {
    if (!outputOpen()) return;
    api_.setDtr(output_, false);
    api_.setRts(output_, false);
    keyed_ = false;
}

bool SerialPtt::readInput() { return inputOpen() && api_.cts(input_); }

}  // namespace orv
