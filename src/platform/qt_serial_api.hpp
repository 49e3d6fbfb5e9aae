#pragma once

#include <map>
#include <memory>

#include "ui/serial_api.hpp"

class QSerialPort;

namespace orv {

// The system's serial ports through Qt. The list comes from the system's device
// registry, so finding the ports opens none of them; they are ordered by name with the
// numbers compared as numbers (ttyS2 before ttyS10), so COMn stays the same device
// from run to run.
class QtSerialApi final : public SerialApi {
public:
    QtSerialApi();
    ~QtSerialApi() override;

    std::vector<std::string> portNames() override;
    Handle open(const std::string& name) override;
    void close(Handle handle) override;
    void setDtr(Handle handle, bool on) override;
    void setRts(Handle handle, bool on) override;
    bool cts(Handle handle) override;

private:
    QSerialPort* port(Handle handle) const;

    std::map<Handle, std::unique_ptr<QSerialPort>> ports_;
    Handle next_ = 1;
};

}  // namespace orv
