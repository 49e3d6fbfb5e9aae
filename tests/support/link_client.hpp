#pragma once

// A raw TCP client of the station's link on 127.0.0.1, for the tests that play clients
// good and bad.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

namespace orv::test {

// One TCP connection to the station's link, closed with the object.
class Client {
public:
    Client() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(3020);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~Client() {
        if (fd_ >= 0) ::close(fd_);
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    bool connected() const { return connected_; }
    void send(const std::vector<std::uint8_t>& bytes) const {
        if (::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) < 0) {
        }
    }
    void halfClose() const { ::shutdown(fd_, SHUT_WR); }
    // Bytes received within `wait`.
    std::size_t drain(std::chrono::milliseconds wait) const {
        std::size_t total = 0;
        const auto until = std::chrono::steady_clock::now() + wait;
        std::uint8_t buffer[65536];
        while (std::chrono::steady_clock::now() < until) {
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n > 0) total += static_cast<std::size_t>(n);
            else std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return total;
    }

private:
    int fd_ = -1;
    bool connected_ = false;
};

inline std::vector<std::uint8_t> frame(char letter, std::uint16_t value) {
    return {0x01, 0x02, 0x03, static_cast<std::uint8_t>(letter), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value & 0xFF)};
}

}  // namespace orv::test
