#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace orv {

// What a socket operation was doing when it failed, for the error's prefix.
enum class SocketErrorKind { Send, Receive, Connect, Disconnect, Accept, Other };

// The link's TCP server as the station uses it: one client at a time, events delivered on
// the station's thread (the station's link handlers are called by the implementation).
class LinkSocket {
public:
    virtual ~LinkSocket() = default;
    // Starts listening on `address`:`port`; false when the port cannot be taken (an error
    // event says why).
    virtual bool listen(const std::string& address, int port) = 0;
    // Stops listening and closes the client, if any.
    virtual void close() = 0;
    // Queues bytes for the connected client; never blocks. False when they were dropped
    // because the client has not taken `maxBacklog` bytes already queued. Without a client
    // nothing is sent.
    virtual bool send(std::span<const std::uint8_t> bytes, std::size_t maxBacklog) = 0;
};

}  // namespace orv
