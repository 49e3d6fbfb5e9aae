#include "platform/qt_serial_api.hpp"

#include <QCollator>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <algorithm>

namespace orv {

QtSerialApi::QtSerialApi() = default;
QtSerialApi::~QtSerialApi() = default;

std::vector<std::string> QtSerialApi::portNames() {
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) names << info.portName();
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(names.begin(), names.end(), [&](const QString& a, const QString& b) { return numeric.compare(a, b) < 0; });
    std::vector<std::string> out;
    for (const QString& name : names) out.push_back(name.toStdString());
    return out;
}

SerialApi::Handle QtSerialApi::open(const std::string& name) {
    auto port = std::make_unique<QSerialPort>(QString::fromStdString(name));
    if (!port->open(QIODevice::ReadWrite)) return kInvalid;
    const Handle handle = next_++;
    ports_[handle] = std::move(port);
    return handle;
}

void QtSerialApi::close(Handle handle) { ports_.erase(handle); }

QSerialPort* QtSerialApi::port(Handle handle) const {
    const auto it = ports_.find(handle);
    return it == ports_.end() ? nullptr : it->second.get();
}

void QtSerialApi::setDtr(Handle handle, bool on) {
    if (QSerialPort* p = port(handle)) p->setDataTerminalReady(on);
}

void QtSerialApi::setRts(Handle handle, bool on) {
    if (QSerialPort* p = port(handle)) p->setRequestToSend(on);
}

bool QtSerialApi::cts(Handle handle) {
    QSerialPort* p = port(handle);
    return p && (p->pinoutSignals() & QSerialPort::ClearToSendSignal);
}

}  // namespace orv
