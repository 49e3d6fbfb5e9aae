#pragma once

#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>

#include "station/link_controller.hpp"
#include "ui/link_socket.hpp"

namespace orv {

// The link's TCP server on Qt's event loop: one client at a time (a second is refused
// and closed), reads and errors delivered to the station's link handlers on the UI thread,
// sends queued without blocking.
class QtLinkSocket final : public QObject, public LinkSocket {
public:
    // The client is closed without a word: the station may be gone already.
    ~QtLinkSocket() override {
        events_ = nullptr;
        close();
    }
    // Where the events go; set once the station exists.
    void attach(LinkController& events) { events_ = &events; }

    bool listen(const std::string& address, int port) override;
    void close() override;
    bool send(std::span<const std::uint8_t> bytes, std::size_t maxBacklog) override;

    // The Windows Sockets number the log shows for a Qt socket error.
    static int socketErrorNumber(QAbstractSocket::SocketError error);

private:
    void acceptClients();
    void readClient();
    void clientGone();
    void clientError(QAbstractSocket::SocketError error);

    QTcpServer server_;
    QTcpSocket* client_ = nullptr;
    LinkController* events_ = nullptr;
};

}  // namespace orv
