#pragma once

#include <string>
#include <vector>

namespace orv {

// The serial ports, as the PTT uses them: the system's list, and for an open port its
// DTR and RTS outputs and its CTS input.
class SerialApi {
public:
    using Handle = int;
    static constexpr Handle kInvalid = -1;

    virtual ~SerialApi() = default;
    // The system's serial devices by name, in a stable order, found without opening any.
    virtual std::vector<std::string> portNames() = 0;
    // Opens a device for reading and writing, exclusively; kInvalid when it cannot be.
    virtual Handle open(const std::string& name) = 0;
    virtual void close(Handle handle) = 0;
    virtual void setDtr(Handle handle, bool on) = 0;
    virtual void setRts(Handle handle, bool on) = 0;
    virtual bool cts(Handle handle) = 0;
};

// No serial ports at all: machines without any, and runs that must never key a
// transmitter.
class NoSerialPorts final : public SerialApi {
public:
    std::vector<std::string> portNames() override { return {}; }
    Handle open(const std::string&) override { return kInvalid; }
    void close(Handle) override {}
    void setDtr(Handle, bool) override {}
    void setRts(Handle, bool) override {}
    bool cts(Handle) override { return false; }
};

}  // namespace orv
