#include "platform/qt_link_socket.hpp"

#include <QHostAddress>

namespace orv {

namespace {

std::string dotted(const QHostAddress& address) {
    bool v4 = false;
    const quint32 ip = address.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip).toString().toStdString() : address.toString().toStdString();
}

}  // namespace

int QtLinkSocket::socketErrorNumber(QAbstractSocket::SocketError error) {
    switch (error) {
        case QAbstractSocket::ConnectionRefusedError: return 10061;
        case QAbstractSocket::RemoteHostClosedError: return 10054;
        case QAbstractSocket::HostNotFoundError: return 11001;
        case QAbstractSocket::SocketAccessError: return 10013;
        case QAbstractSocket::SocketResourceError: return 10024;
        case QAbstractSocket::SocketTimeoutError: return 10060;
        case QAbstractSocket::DatagramTooLargeError: return 10040;
        case QAbstractSocket::NetworkError: return 10050;
        case QAbstractSocket::AddressInUseError: return 10048;
        case QAbstractSocket::SocketAddressNotAvailableError: return 10049;
        case QAbstractSocket::UnsupportedSocketOperationError: return 10045;
        default: return 10000 + static_cast<int>(error);  // not in the table: "Unknown socket error."
    }
}

bool QtLinkSocket::listen(const std::string& address, int port) {
    QObject::connect(&server_, &QTcpServer::newConnection, this, &QtLinkSocket::acceptClients,
                     Qt::UniqueConnection);
    QHostAddress host;
    if (!host.setAddress(QString::fromStdString(address))) host = QHostAddress::LocalHost;
    if (!server_.listen(host, static_cast<quint16>(port))) {
        if (events_) events_->socketError(SocketErrorKind::Other, socketErrorNumber(server_.serverError()));
        return false;
    }
    if (events_) events_->listened();
    return true;
}

void QtLinkSocket::close() {
    server_.close();
    if (!client_) return;
    QTcpSocket* client = client_;
    client_ = nullptr;
    client->disconnect(this);
    client->abort();
    client->deleteLater();
}

bool QtLinkSocket::send(std::span<const std::uint8_t> bytes, std::size_t maxBacklog) {
    if (!client_) return true;
    if (static_cast<std::size_t>(client_->bytesToWrite()) > maxBacklog) return false;
    client_->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return true;
}

void QtLinkSocket::acceptClients() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        if (client_) {
            if (events_) events_->refused(dotted(socket->peerAddress()));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        client_ = socket;
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        QObject::connect(socket, &QTcpSocket::readyRead, this, &QtLinkSocket::readClient);
        QObject::connect(socket, &QTcpSocket::disconnected, this, &QtLinkSocket::clientGone);
        QObject::connect(socket, &QAbstractSocket::errorOccurred, this, &QtLinkSocket::clientError);
        if (events_) {
            events_->accepted(dotted(socket->peerAddress()));
            events_->clientConnected();
        }
    }
}

void QtLinkSocket::readClient() {
    if (!client_) return;
    const QByteArray bytes = client_->readAll();
    if (events_ && !bytes.isEmpty())
        events_->received(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size())));
}

void QtLinkSocket::clientGone() {
    if (!client_) return;
    QTcpSocket* client = client_;
    client_ = nullptr;
    client->deleteLater();
    if (events_) events_->clientDisconnected();
}

void QtLinkSocket::clientError(QAbstractSocket::SocketError error) {
    // A client closing its side is a disconnection, not an error.
    if (error == QAbstractSocket::RemoteHostClosedError) return;
    if (events_) events_->socketError(SocketErrorKind::Receive, socketErrorNumber(error));
}

}  // namespace orv
